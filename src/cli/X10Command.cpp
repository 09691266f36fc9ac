// ovlix x10 UNIT COMMAND: the X10 window's Send Command button.

#include "CommandLine.h"
#include "Commands.h"
#include "core/TextFiles.h"
#include "labels/UnitLookup.h"
#include "x10/X10Codes.h"

#include <QFile>
#include <QRegularExpression>

namespace ovlix::cli {

namespace {

const QString kPasscodeFile = QStringLiteral("passcode-file");

// The passcode when nobody types it: the environment's when set and not
// empty, else the first line of the passcode file when one is named, else the
// X10 window's initial one. `error` says why the named file gave none.
struct PasscodeChoice {
    QString passcode;
    QString error;
};

PasscodeChoice choosePasscode(const QString& fromEnvironment, const QString& passcodeFile)
{
    if (!fromEnvironment.isEmpty())
        return {fromEnvironment, {}};
    if (passcodeFile.isEmpty())
        return {kInitialX10Passcode, {}};
    QFile file(passcodeFile);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                QStringLiteral("cannot read the passcode file %1: %2")
                    .arg(passcodeFile, file.errorString())};
    // A passcode is a few characters: the file's start holds its first line.
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    const QString firstLine = fromFileText(file.read(4096)).section(lineEnd, 0, 0);
    // An empty passcode would be sent, and refused, without a word of why.
    if (firstLine.isEmpty())
        return {{},
                QStringLiteral("the passcode file %1 has an empty first line").arg(passcodeFile)};
    return {firstLine, {}};
}

} // namespace

void runX10(Invocation& call)
{
    call.options().addOptions(
        {deviceOption(),
         {kPasscodeFile,
          QStringLiteral("Read the passcode from the first line of FILE when OVLIX_PASSCODE "
                         "is not set (default passcode: 731)."),
          QStringLiteral("FILE")}});
    call.options().addPositionalArgument(
        QStringLiteral("UNIT"),
        QStringLiteral("A house letter A-P and a unit 1-16 run together (A1, p16), or the "
                       "label of a slot in the labels file (\"Hall lamp\"); any case."));
    call.options().addPositionalArgument(QStringLiteral("COMMAND"),
                                         QStringLiteral("on, off or query; any case."));
    if (!call.parse(2, 2) ||
        !call.takeAddress(QLatin1String("--device"), call.typed(kDeviceOption)))
        return;
    if (call.typed(kPasscodeFile) == QString())
        return call.mistake(QStringLiteral("--passcode-file takes the name of a file, not \"\""));
    const QString unitText = call.positional().at(0);
    const std::optional<QString> command = x10CommandNamed(call.positional().at(1));
    if (!command)
        return call.mistake(QStringLiteral("unknown X10 command \"%1\": use on, off or query")
                                .arg(call.positional().at(1)));
    call.start();
    const PasscodeChoice passcode =
        choosePasscode(qEnvironmentVariable("OVLIX_PASSCODE"), call.value(kPasscodeFile));
    if (!passcode.error.isEmpty()) {
        call.log().WriteLog(QStringLiteral("ERROR::ovlix x10: ") + passcode.error);
        call.printError(QStringLiteral("ovlix x10: ") + passcode.error);
        return call.finish(ExitCode::FileError);
    }
    if (!fitsCodePage(passcode.passcode))
        return call.mistake(
            QStringLiteral("the passcode holds a character that the system's code page cannot"));
    const UnitLookup unit = lookUpX10Unit(call.log(), call.context().LabelsFile, unitText);
    switch (unit.outcome) {
    case UnitLookup::Outcome::Found:
        break;
    case UnitLookup::Outcome::Unknown:
        return call.mistake(QStringLiteral("unknown unit \"%1\": use a house letter A-P and a "
                                           "unit 1-16 (A1, p16) or a label of the labels file")
                                .arg(unitText));
    case UnitLookup::Outcome::LabelsFileUnreadable:
        call.printError(QStringLiteral("ovlix x10: \"%1\" is no X10 address, and the labels "
                                       "file %2 cannot be read: %3")
                            .arg(unitText, call.context().LabelsFile, unit.error));
        return call.finish(ExitCode::FileError);
    }

    const std::optional<QString> deviceAddress = call.deviceAddress();
    if (!deviceAddress)
        return;
    const QString& address = *deviceAddress;
    const X10Address x10 = unit.address;
    sendX10Command(
        call.fetcher(), call.log(), address, {x10.house, x10.unit, *command, passcode.passcode},
        [&call, address, x10, command = *command](const FetchResult& result) {
            const bool sent = result.ok;
            if (call.json())
                call.printJson({{QStringLiteral("address"), address},
                                {QStringLiteral("house"), x10.house},
                                {QStringLiteral("unit"), x10.unit},
                                {QStringLiteral("command"), command},
                                {QStringLiteral("sent"), sent}});
            if (!sent)
                // It may have reached the device all the same: say what was seen.
                call.printError(QStringLiteral("ovlix x10: the device at %1 did not answer: %2")
                                    .arg(address, result.error));
            call.finish(sent ? ExitCode::Done : ExitCode::Failed);
        });
}

} // namespace ovlix::cli
