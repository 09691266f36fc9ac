#pragma once

#include "ScriptedServer.h"

#include <chrono>
#include <optional>
#include <QString>
#include <vector>

namespace ovlix::test {

// A device that misbehaves in one way, and what the program must make of it.
struct RogueScenario {
    const char* name;
    ScriptedServer::Behaviour behaviour;
    QByteArray response;
    int tickMs;
    // The version found (none: the probe reports not found), whether a command
    // request counts as sent, and the X10 error line when it does not.
    std::optional<QString> version;
    bool commandSent;
    QString commandError;
    // A short total deadline stands in for the 60 seconds.
    std::chrono::milliseconds deadline = std::chrono::milliseconds(1500);
};

inline std::vector<RogueScenario> rogueScenarios()
{
    using Behaviour = ScriptedServer::Behaviour;
    const QByteArray versionPage = httpAnswer("<html><version>2.1a</version></html>");
    const QByteArray cutBody =
        "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + QByteArray(3000, 'x');
    const QString timedOut =
        QStringLiteral("ERROR::SendHttp: No complete answer within 1.5 seconds");
    return {
        {"version page in many small pieces",
         Behaviour::InPieces,
         versionPage,
         1,
         QStringLiteral("2.1a"),
         true,
         {}},
        {"accepts and never answers", Behaviour::Silent, {}, 1, std::nullopt, false, timedOut},
        {"one byte at a time for ever", Behaviour::Trickle, versionPage, 100, std::nullopt, false,
         timedOut},
        {"garbage that is not HTTP", Behaviour::Answer,
         QByteArray("\x01\x02 not http at all\r\n\r\n"), 1, std::nullopt, false,
         QStringLiteral("ERROR::SendHttp: The answer is not HTTP")},
        {"connection dropped in mid-body", Behaviour::CutMidBody, cutBody, 1, std::nullopt, false,
         QStringLiteral("ERROR::SendHttp: Connection closed before the whole answer")},
        // The redirect is the device's answer: it is not followed.
        {"redirect to itself", Behaviour::RedirectLoop, {}, 1, std::nullopt, true, {}},
    };
}

} // namespace ovlix::test
