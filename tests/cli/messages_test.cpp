// The German sentences, each checked once: composed from the statuses the
// reader and the comparison report.
#include "report/messages.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(Messages, EveryReadStatusHasItsSentence) {
    const struct {
        ReadStatus status;
        int systemError;
        std::uint64_t bound;
        const char* reason;
    } cases[] = {
        {ReadStatus::kNotFound, 0, 0, "Sie existiert nicht."},
        {ReadStatus::kDirectory, 0, 0, "Sie ist ein Ordner."},
        {ReadStatus::kNotRegularFile, 0, 0,
         "Sie ist keine gewöhnliche Datei (sondern z. B. ein Gerät oder eine Pipe)."},
        {ReadStatus::kCannotOpen, EACCES, 0, "Keine Leseberechtigung."},
        {ReadStatus::kCannotOpen, EBUSY, 0, "Sie wird von einem anderen Programm verwendet."},
        {ReadStatus::kCannotOpen, EILSEQ, 0,
         "Ihr Name lässt sich nicht lesen: Er enthält Bytes, die kein gültiges UTF-8 sind."},
        {ReadStatus::kCannotOpen, 0, 0, "Sie lässt sich nicht öffnen."},
        {ReadStatus::kReadError, 0, 0, "Beim Lesen ist ein Fehler aufgetreten."},
        {ReadStatus::kTruncated, 0, 0, "Sie wurde während des Lesens verkürzt."},
        {ReadStatus::kTooManyRecords, 0, 2147483646,
         "Sie enthält mehr als 2.147.483.646 Datensätze."},
        {ReadStatus::kNotALibrary, 0, 4,
         "Sie ist keine Symbolbibliothek (ihre Felder sind nicht abgeschlossen, zusammen länger "
         "als das 4-Fache der Datei)."},
    };
    for (const auto& c : cases) {
        ReadResult result;
        result.status = c.status;
        result.systemError = c.systemError;
        result.bound = c.bound;
        EXPECT_EQ(ReadFailureMessage("/tmp/a.1", result),
                  std::string("Die Datei „/tmp/a.1“ kann nicht eingelesen werden: ") + c.reason);
    }
    ReadResult outOfMemory;
    outOfMemory.status = ReadStatus::kOutOfMemory;
    EXPECT_EQ(ReadFailureMessage("/tmp/a.1", outOfMemory),
              "Nicht genug Arbeitsspeicher, um „/tmp/a.1“ zu vergleichen.");
    EXPECT_EQ(OutOfMemoryMessage("a.1", "b.1"),
              "Nicht genug Arbeitsspeicher, um „a.1“ mit „b.1“ zu vergleichen.");
    ReadResult cancelled;
    cancelled.status = ReadStatus::kCancelled;
    EXPECT_EQ(ReadFailureMessage("a.1", cancelled), "");
}

// Every error number the system gives for a file it refuses has words.
TEST(Messages, SystemErrorsInWords) {
    for (const int error :
         {EACCES,     EPERM,  ENOENT,    EISDIR, ENOTDIR,   EBUSY,        ETXTBSY,
          EMFILE,     ENFILE, ENOSPC,    EFBIG,  EROFS,     ENAMETOOLONG, EILSEQ,
          EIO,        EBADF,  ENODEV,    ENXIO,  ELOOP,     ENOMEM,       EINVAL,
          EOPNOTSUPP, EAGAIN, EOVERFLOW, EINTR,  ETIMEDOUT, EXDEV,        EEXIST}) {
        const std::string text = SystemErrorText(error, FileAccess::kRead);
        EXPECT_EQ(text.find("Fehlernummer"), std::string::npos) << error << ": " << text;
    }
    EXPECT_EQ(SystemErrorText(ELOOP, FileAccess::kRead),
              "Zu viele symbolische Verknüpfungen hintereinander (wohl eine Schleife).");
    EXPECT_EQ(SystemErrorText(9999, FileAccess::kRead),
              "Sie lässt sich nicht öffnen (Fehlernummer 9999).");
}

TEST(Messages, SystemErrorsWhenWriting) {
    EXPECT_EQ(SystemErrorText(ENOSPC, FileAccess::kWrite), "Der Datenträger ist voll.");
    EXPECT_EQ(SystemErrorText(EACCES, FileAccess::kWrite), "Keine Schreibberechtigung.");
    EXPECT_EQ(SystemErrorText(ENOENT, FileAccess::kWrite), "Der Ordner existiert nicht.");
    EXPECT_EQ(SystemErrorText(EFBIG, FileAccess::kWrite), "Die Datei würde zu groß.");
    EXPECT_EQ(SystemErrorText(9999, FileAccess::kWrite),
              "Schreiben nicht möglich (Fehlernummer 9999).");
}

TEST(Messages, DoubtfulFilesRefusedComparisonsAndCounts) {
    ReadResult doubtful;
    doubtful.oddRecords = 63;
    doubtful.sampledRecords = 64;
    EXPECT_EQ(DoubtfulLibraryMessage("n.1", doubtful),
              "Die Datei „n.1“ sieht nicht wie eine Symbolbibliothek aus: 63 von 64 geprüften "
              "Datensätzen haben einen leeren Symbolnamen, Steuerzeichen darin, einen Namen, der "
              "über seinen Datensatz hinausreicht, oder fast nur einzelne Zeichen.");
    ReadResult pdf;
    pdf.signature = FileSignature::kPdf;
    EXPECT_EQ(DoubtfulLibraryMessage("n.1", pdf),
              "Die Datei „n.1“ sieht nicht wie eine Symbolbibliothek aus: Sie beginnt wie eine "
              "PDF-Datei.");
    EXPECT_EQ(TooManyPairsMessage("a.1", "b.1", 20'005'000),
              "Der Vergleich von „a.1“ mit „b.1“ ergäbe 20.005.000 gemeinsame Einträge, weil "
              "Symbolnamen in beiden Bibliotheken mehrfach vorkommen (jedes Paar zählt einzeln). "
              "Mehr als 20.000.000 Einträge werden nicht verglichen.");
    EXPECT_EQ(GermanNumber(999), "999");
    EXPECT_EQ(GermanNumber(1000), "1.000");
    Comparison c;
    c.pairs.resize(19650);
    c.changed.resize(286);
    c.only1.resize(3);
    c.only2.resize(1);
    EXPECT_EQ(
        ComparisonCounts(c),
        "19.650 gemeinsam, davon 286 geändert · 3 nur in Bibliothek 1 · 1 nur in Bibliothek 2");
}

}  // namespace
