#include "app/clibcompareapp.h"

int main(int argc, char** argv) {
    const StartRequest request = CLibCompareApp::ReadCommandLine(argc, argv);
    if (request.done) return request.exitCode;
    CLibCompareApp app(argc, argv);
    app.InitInstance(request.files, request.ignored);
    return 0;
}
