#include "lobby_window/typed_text.h"

#include "lobby/lobby_protocol.h"

namespace vornel::lobby_window {

std::optional<std::string> latin1Bytes(const QString& typed) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const QChar c : typed) {
        if (c.unicode() > 0xFF) return std::nullopt;
        bytes += static_cast<char>(c.unicode());
    }
    return bytes;
}

QString fromLatin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString typedNameProblem(const QString& typed) {
    const auto bytes = latin1Bytes(typed);
    if (!bytes) return "A name uses the letters of Western European languages only.";
    if (const auto problem = lobby::nameProblem(*bytes))
        return QString::fromLatin1(problem->data(), static_cast<qsizetype>(problem->size()));
    if (bytes->front() == '-') return "A name cannot begin with \"-\".";
    return {};
}

}  // namespace vornel::lobby_window
