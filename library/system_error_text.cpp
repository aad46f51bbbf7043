#include "library/system_error_text.h"

#include <system_error>

std::string SystemErrorText(int error, FileAccess access) {
    const bool reading = access == FileAccess::kRead;
    const auto code = std::error_code(error, std::generic_category());
    if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted)
        return reading ? "Keine Leseberechtigung." : "Keine Schreibberechtigung.";
    if (code == std::errc::no_such_file_or_directory)
        return reading ? "Sie existiert nicht." : "Der Ordner existiert nicht.";
    if (code == std::errc::is_a_directory) return "Sie ist ein Ordner.";
    if (code == std::errc::not_a_directory) return "Ein Teil des Pfades ist kein Ordner.";
    if (code == std::errc::device_or_resource_busy || code == std::errc::text_file_busy)
        return "Sie wird von einem anderen Programm verwendet.";
    if (code == std::errc::too_many_files_open || code == std::errc::too_many_files_open_in_system)
        return "Zu viele Dateien sind geöffnet.";
    if (code == std::errc::no_space_on_device) return "Der Datenträger ist voll.";
    if (code == std::errc::file_too_large) return "Die Datei würde zu groß.";
    if (code == std::errc::read_only_file_system) return "Der Datenträger ist schreibgeschützt.";
    if (code == std::errc::filename_too_long) return "Der Name ist zu lang.";
    if (code == std::errc::io_error) return "Ein Ein-/Ausgabefehler ist aufgetreten.";
    if (code == std::errc::bad_file_descriptor)
        return reading ? "Sie ist nicht zum Lesen geöffnet."
                       : "Sie ist nicht zum Schreiben geöffnet.";
    return (reading ? "Sie lässt sich nicht öffnen (Fehlernummer "
                    : "Schreiben nicht möglich (Fehlernummer ") +
           std::to_string(error) + ").";
}
