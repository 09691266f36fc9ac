#pragma once

#include "core/AppContext.h"
#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "network/ArpEntries.h"
#include "RecordingMessages.h"
#include "TestSupport.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace ovlix::test {

// The program's windows over a folder of their own, with recorded messages and
// command lines, and a short request deadline.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture()
        : context(makeAppContext(files.path(QString()), programVersion())),
          environment{context,
                      files.log(),
                      messages,
                      launcher,
                      [this] { return std::make_unique<QtHttpFetcher>(limits); },
                      {commandLines, hosts, [] { return QString(); }, std::chrono::milliseconds(50),
                       [this] { return cards; }},
                      // No network to search unless a test gives one.
                      {[this] { return localAddresses; },
                       [this] { return std::make_unique<QtHttpFetcher>(limits); }}},
          windows(environment)
    {
    }

    ~WindowFixture() override
    {
        // Menus and message boxes are top-level too, but belong to a window.
        QList<QPointer<QWidget>> open;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                open.append(window);
        for (const QPointer<QWidget>& window : open)
            delete window.data();
    }

    template <class Child> Child* find(QWidget* window, const char* name)
    {
        Child* child = window->findChild<Child*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    FilesFolder files;
    AppContext context;
    RecordingMessages messages;
    RecordingLauncher launcher;
    FetchLimits limits{std::chrono::milliseconds(500)};
    WindowsNetworkCommands commandLines;
    FixedHostLookup hosts;
    // A PC with loopback only, as far as the network setup can tell.
    QList<CardAddress> cards{{"lo", QHostAddress::LocalHost, 8, true}};
    QList<QNetworkAddressEntry> localAddresses;
    WindowEnvironment environment;
    WindowRegistry windows;
};

} // namespace ovlix::test
