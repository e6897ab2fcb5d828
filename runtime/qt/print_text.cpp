#include "runtime/qt/print_text.h"

#include <QList>
#include <QString>

namespace jangora {

namespace {

// Marks, embeddings, overrides and isolates: each turns the reading direction of what follows.
bool turnsDirection(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

std::string plainText(std::string_view bytes, std::size_t most) {
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::u32string plain;
    for (const char32_t c : text.toUcs4()) {
        if (turnsDirection(c)) {
            continue;
        }
        const bool space = c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
        if (!(space && (plain.empty() || plain.back() == U' '))) {
            plain.push_back(space ? U' ' : c);
        }
    }
    while (!plain.empty() && plain.back() == U' ') {
        plain.pop_back();
    }
    if (plain.size() > most && most > 0) {
        plain.resize(most - 1);
        plain.push_back(U'…');
    }
    return QString::fromUcs4(plain.data(), static_cast<qsizetype>(plain.size())).toStdString();
}

bool meaningful(std::string_view words) {
    const QString said =
        QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size())).trimmed().toLower();
    return !said.isEmpty() && !said.startsWith(QLatin1String("successful")) &&
           said != QLatin1String("success") && said != QLatin1String("ok") &&
           said != QLatin1String("none") && said != QLatin1String("nothing");
}

} // namespace jangora
