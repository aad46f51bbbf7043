#include "dialog/review_marks.h"

#include <QByteArray>
#include <QSettings>
#include <cstring>
#include <memory>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

std::uint64_t Word(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

const QString kMarksGroup = QStringLiteral("Unterschiede/Geprüft/");

// A file's key, worked out once while its bytes are held: new bytes are a
// new buffer, and bytes changed in place (ForgetContentKeys) are hashed anew.
struct HashedFile {
    std::weak_ptr<const void> owner;
    const char* data = nullptr;
    std::size_t size = 0;
    QString key;
};

HashedFile cache[4];
std::size_t next = 0;

QString FileKey(const SymbolTable& table) {
    const std::string_view bytes = table.FileView();
    const std::shared_ptr<const void> owner =
        table.Storage().empty() ? nullptr : table.Storage().front();
    for (const HashedFile& file : cache)
        if (owner && !file.owner.expired() && file.owner.lock() == owner &&
            file.data == bytes.data() && file.size == bytes.size())
            return file.key;
    const QString key =
        QStringLiteral("%1-%2").arg(bytes.size()).arg(ContentHash(bytes), 16, 16, QLatin1Char('0'));
    if (owner) cache[next++ % std::size(cache)] = {owner, bytes.data(), bytes.size(), key};
    return key;
}

}  // namespace

std::uint64_t ContentHash(std::string_view bytes, std::uint64_t seed) {
    return XXH3_64bits_withSeed(bytes.data(), bytes.size(), seed);
}

void ForgetContentKeys() {
    for (HashedFile& file : cache) file = {};
}

QString ComparedFilesKey(const Comparison& comparison) {
    return FileKey(comparison.lib1.table) + u'_' + FileKey(comparison.lib2.table);
}

std::uint64_t MarkKey(DifferenceKind kind, std::string_view symbol, std::uint8_t field,
                      std::uint32_t occurrence) {
    const std::uint64_t seed = (static_cast<std::uint64_t>(kind) << 40) |
                               (static_cast<std::uint64_t>(field) << 32) | occurrence;
    return ContentHash(symbol, seed);
}

void ReviewMarks::Open(const Comparison& comparison) {
    marks_.clear();
    key_ = ComparedFilesKey(comparison);
    const QByteArray stored = QSettings().value(kMarksGroup + key_).toByteArray();
    for (qsizetype at = 0; at + 8 <= stored.size(); at += 8)
        marks_.insert(Word(stored.data() + at));
}

void ReviewMarks::Set(const std::vector<std::uint64_t>& marks, bool checked) {
    if (key_.isEmpty()) return;
    for (const std::uint64_t mark : marks) {
        if (checked)
            marks_.insert(mark);
        else
            marks_.erase(mark);
    }
    QSettings settings;
    if (marks_.empty()) {
        settings.remove(kMarksGroup + key_);
        return;
    }
    QByteArray stored(static_cast<qsizetype>(marks_.size() * 8), Qt::Uninitialized);
    char* out = stored.data();
    for (const std::uint64_t mark : marks_) {
        std::memcpy(out, &mark, sizeof mark);
        out += sizeof mark;
    }
    settings.setValue(kMarksGroup + key_, stored);
}
