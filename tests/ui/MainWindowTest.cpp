#include "ui/MainWindow.h"
#include "DeviceSimulator.h"
#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/AboutWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, FirstRunShowsTheDefaultAddressAndLogsTheMissingSetting)
{
    MainWindow* main = windows.openMain();
    EXPECT_EQ(main->windowTitle(), "Ovlix 2.0.0");
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), "192.168.1.250");
    EXPECT_EQ(context.DeviceIP, "192.168.1.250");
    EXPECT_EQ(
        files.logMessages(),
        QStringList{QStringLiteral("System variable lastip missing in ") + context.NetsetFile});
    EXPECT_EQ(main->centralWidget()->size(), QSize(454, 264));
}

TEST_F(MainWindowTest, TheSavedAddressIsShownAndTheFocusOrderIsTheDocumentedOne)
{
    files.write(QStringLiteral("netset"), "lastip, 10.0.0.5\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
    MainWindow* main = windows.openMain();
    QApplication::setActiveWindow(main);
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), "10.0.0.5");
    EXPECT_TRUE(files.logMessages().isEmpty());

    QStringList order;
    QWidget* widget = find<QPushButton>(main, "cmdVerify");
    for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain()) {
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled())
            widget = widget->nextInFocusChain();
        order.append(widget->objectName());
    }
    EXPECT_EQ(order,
              (QStringList{"cmdVerify", "txtOvlixIP", "cmdNetork", "cmdX10", "cmdDeviceLabels"}));
    EXPECT_TRUE(find<QLineEdit>(main, "txtVersion")->isReadOnly());
    EXPECT_FALSE(find<QLineEdit>(main, "txtVersion")->focusPolicy() & Qt::TabFocus);
}

TEST_F(MainWindowTest, VerifyShowsTheVersionWithOneRequestPerPress)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    device.setVersion(QStringLiteral("2.1a"));
    MainWindow* main = windows.openMain();
    auto* ip = find<QLineEdit>(main, "txtOvlixIP");
    auto* version = find<QLineEdit>(main, "txtVersion");
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device.port());
    ip->setText(address);

    QTest::mouseClick(find<QPushButton>(main, "cmdVerify"), Qt::LeftButton);
    EXPECT_FALSE(main->isEnabled()); // no second press while the probe waits
    ASSERT_TRUE(waitUntil([&] { return main->isEnabled(); }));
    EXPECT_EQ(version->text(), "2.1a");
    EXPECT_EQ(device.requests(), QList<QString>{"/"});
    EXPECT_EQ(context.DeviceIP, address);
    EXPECT_TRUE(messages.shown.isEmpty());

    device.setVersion(QString());
    QTest::mouseClick(find<QPushButton>(main, "cmdVerify"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return main->isEnabled(); }));
    EXPECT_EQ(version->text(), "");
    EXPECT_EQ(device.requests().size(), 2);
}

TEST_F(MainWindowTest, AFailedVerifySaysNotFoundAndKeepsTheVersionBox)
{
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);
    ScriptedServer otherServer(ScriptedServer::Behaviour::Answer, httpAnswer("<h1>hello</h1>"));
    MainWindow* main = windows.openMain();
    auto* ip = find<QLineEdit>(main, "txtOvlixIP");
    find<QLineEdit>(main, "txtVersion")->setText(QStringLiteral("1.9"));

    const QStringList addresses{ScriptedServer::refusingAddress(), silent.address(),
                                otherServer.address()};
    for (const QString& address : addresses) {
        ip->setText(address);
        QTest::mouseClick(find<QPushButton>(main, "cmdVerify"), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return main->isEnabled(); }));
        EXPECT_EQ(messages.shown.last(), QStringLiteral("Ovlix at IP: ") + address + " not found");
        EXPECT_EQ(context.DeviceIP, address);
    }
    EXPECT_EQ(find<QLineEdit>(main, "txtVersion")->text(), "1.9");
    EXPECT_EQ(files.logMessages().mid(1),
              QStringList(3, QStringLiteral("PingOvlix: index.htm version not found")));
}

TEST_F(MainWindowTest, TheAboutWindowOpensOnceAndShowsTheVersion)
{
    MainWindow* main = windows.openMain();
    auto* menu = main->menuBar()->findChild<QMenu*>(QStringLiteral("mnuHelp"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Help");
    QAction* about = main->findChild<QAction*>(QStringLiteral("mnuAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About");

    about->trigger();
    AboutWindow* first = windows.openAbout();
    about->trigger();
    EXPECT_EQ(windows.openAbout(), first);
    EXPECT_EQ(first->windowTitle(), "Ovlix");
    EXPECT_EQ(find<QLabel>(first, "LbVersion")->text(), "Ovlix 2.0.0");
    EXPECT_EQ(find<QLabel>(first, "Label2")->font().pointSizeF(), 12);
    EXPECT_EQ(find<QLabel>(first, "Label3")->font().pointSizeF(), 9.75);
    const QWidgetList tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(),
                            [](QWidget* w) { return qobject_cast<AboutWindow*>(w) != nullptr; }),
              1);

    // Closing the main window leaves the About window open; a closed window
    // comes back made afresh.
    main->close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.mainWindow(), nullptr);
    EXPECT_TRUE(first->isVisible());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AboutWindow* second = windows.openAbout();
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
}
