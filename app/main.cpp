#include "app/clibcompareapp.h"

int main(int argc, char** argv) {
    CLibCompareApp app(argc, argv);
    app.InitInstance();
    return 0;
}
