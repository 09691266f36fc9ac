#pragma once

#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "network/ArpEntries.h"
#include "RecordingMessages.h"
#include "TestSupport.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace ovlix::test {

// The program's windows over a folder of their own, with recorded messages and
// command lines, a device that answers when the test says, and no network
// card to search on or to face a device.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture()
        : context(makeAppContext(files.path(QString()), programVersion())),
          environment{
              context,
              files.log(),
              messages,
              launcher,
              [this] { return held.fetcher(); },
              {commandLines, hosts, [this] { return arpRefusal; }, std::chrono::milliseconds(50)},
              [this] { return std::make_unique<QtHttpFetcher>(limits); },
              [] { return QList<NetworkCard>(); }},
          windows(environment)
    {
    }

    ~WindowFixture() override
    {
        // Menus and message boxes are top-level too, but belong to a window.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                window->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class Child = QLineEdit> Child* find(QWidget* window, const QString& name)
    {
        Child* child = window->findChild<Child*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    QString text(QWidget* window, const QString& box) { return find(window, box)->text(); }
    void type(QWidget* window, const QString& box, const QString& text)
    {
        find(window, box)->setText(text);
    }
    void click(QWidget* window, const QString& button)
    {
        QTest::mouseClick(find<QPushButton>(window, button), Qt::LeftButton);
    }
    // Answers the oldest request not yet answered.
    void answer(const FetchResult& result) { held.answer(answered++, result); }
    QString lastUrl() const { return held.url(held.count() - 1).toString(QUrl::FullyEncoded); }

    FilesFolder files;
    AppContext context;
    RecordingMessages messages;
    RecordingLauncher launcher;
    HeldRequests held;
    qsizetype answered = 0;
    FetchLimits limits{std::chrono::milliseconds(500)};
    WindowsNetworkCommands commandLines;
    FixedHostLookup hosts;
    QString arpRefusal;
    WindowEnvironment environment;
    WindowRegistry windows;
};

} // namespace ovlix::test
