#include "answer/TextReplace.h"

#include <cstring>
#include <string.h>
#include <vector>

namespace stowline::answer {
namespace {

// Answers run to many megabytes and each pattern occurs once or not at all; copying the whole
// text for every pattern that matched cost more than everything else the clean-up does,
// because each copy lands in freshly mapped memory. So bytes are replaced in place.
const char* findIn(const char* from, const char* end, const QByteArray& search) {
    return static_cast<const char*>(memmem(from, static_cast<std::size_t>(end - from),
                                           search.constData(),
                                           static_cast<std::size_t>(search.size())));
}

// A replacement no longer than its pattern: the text is compacted front to back, which never
// overwrites what is still to be read.
void replaceShrinking(QByteArray& text, const QByteArray& search, const QByteArray& with,
                      qsizetype firstMatch) {
    char* data = text.data();
    const char* end = data + text.size();
    char* write = data + firstMatch;
    const char* read = write;
    const char* match = read;
    while (match != nullptr) {
        std::memmove(write, read, static_cast<std::size_t>(match - read));
        write += match - read;
        std::memcpy(write, with.constData(), static_cast<std::size_t>(with.size()));
        write += with.size();
        read = match + search.size();
        match = findIn(read, end, search);
    }
    std::memmove(write, read, static_cast<std::size_t>(end - read));
    write += end - read;
    text.truncate(write - data);
}

// A longer replacement: the text grows once and is filled back to front.
void replaceGrowing(QByteArray& text, const QByteArray& search, const QByteArray& with,
                    qsizetype firstMatch) {
    std::vector<qsizetype> matches;
    for (const char* match = text.constData() + firstMatch; match != nullptr;
         match = findIn(match + search.size(), text.constData() + text.size(), search)) {
        matches.push_back(match - text.constData());
    }
    const qsizetype oldSize = text.size();
    const qsizetype growth = with.size() - search.size();
    text.resize(oldSize + growth * static_cast<qsizetype>(matches.size()));
    char* data = text.data();
    qsizetype readEnd = oldSize;
    qsizetype writeEnd = text.size();
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
        const qsizetype tail = readEnd - (*match + search.size());
        std::memmove(data + writeEnd - tail, data + readEnd - tail, static_cast<std::size_t>(tail));
        writeEnd -= tail + with.size();
        std::memcpy(data + writeEnd, with.constData(), static_cast<std::size_t>(with.size()));
        readEnd = *match;
    }
}

} // namespace

void replaceEvery(QString& text, QStringView search, QStringView replacement) {
    if (!search.isEmpty()) {
        text.replace(search.toString(), replacement.toString(), Qt::CaseSensitive);
    }
}

void replaceEvery(QByteArray& text, const QByteArray& search, const QByteArray& replacement) {
    if (search.isEmpty()) {
        return;
    }
    const char* match = findIn(text.constData(), text.constData() + text.size(), search);
    if (match == nullptr) {
        return;
    }
    const qsizetype firstMatch = match - text.constData();
    if (replacement.size() <= search.size()) {
        replaceShrinking(text, search, replacement, firstMatch);
    } else {
        replaceGrowing(text, search, replacement, firstMatch);
    }
}

} // namespace stowline::answer
