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
    const QByteArray page = httpAnswer("<html><version>2.1a</version></html>");
    const QByteArray cutBody =
        "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + QByteArray(3000, 'x');
    const QString error = QStringLiteral("ERROR::SendHttp: ");
    const QString late = error + QStringLiteral("No complete answer within 1.5 seconds");
    const QString notHttp = error + QStringLiteral("The answer is not HTTP");
    const QString cut = error + QStringLiteral("Connection closed before the whole answer");
    const QString version = QStringLiteral("2.1a");
    const QByteArray garbage = "\x01\x02 not http\r\n\r\n";
    return {
        {"version page in many small pieces", Behaviour::InPieces, page, 1, version, true, {}},
        {"accepts and never answers", Behaviour::Silent, {}, 1, std::nullopt, false, late},
        {"one byte at a time for ever", Behaviour::Trickle, page, 100, std::nullopt, false, late},
        {"garbage that is not HTTP", Behaviour::Answer, garbage, 1, {}, false, notHttp},
        {"connection dropped in mid-body", Behaviour::CutMidBody, cutBody, 1, {}, false, cut},
        // The redirect is the device's answer: it is not followed.
        {"redirect to itself", Behaviour::RedirectLoop, {}, 1, std::nullopt, true, {}},
    };
}

} // namespace ovlix::test
