// ovlix labels show and ovlix labels send: the labels window's Load and Send
// Labels to Ovlix buttons, on the labels file.

#include "CommandLine.h"
#include "Commands.h"
#include "labels/LabelsFile.h"
#include "labels/LabelUpload.h"

#include <QJsonArray>

namespace ovlix::cli {

namespace {

// Starts the run and reads the slots as the labels window would load them;
// nothing when the labels file cannot be read, which has been said.
std::optional<LabelSet> startWithLabels(Invocation& call)
{
    call.start();
    LabelSet slots = clearedLabelSet();
    const QString error = readLabelsFile(call.log(), call.context().LabelsFile, slots);
    if (error.isEmpty())
        return slots;
    call.fail(
        ExitCode::FileError,
        QStringLiteral("cannot read the labels file %1: %2").arg(call.context().LabelsFile, error));
    return std::nullopt;
}

} // namespace

void runLabelsShow(Invocation& call)
{
    if (!call.parse(0, 0))
        return;
    const std::optional<LabelSet> slots = startWithLabels(call);
    if (!slots)
        return;
    QJsonArray rows;
    for (int i = 0; i < kLabelSlots; ++i) {
        const LabelSlot& slot = (*slots)[i];
        if (call.json())
            rows.append(QJsonObject{{QStringLiteral("slot"), i + 1},
                                    {QStringLiteral("text"), slot.text},
                                    {QStringLiteral("house"), slot.house},
                                    {QStringLiteral("unit"), slot.unit}});
        else
            call.print(QStringLiteral("%1  %2  %3  %4")
                           .arg(i + 1)
                           // Padded as shown, so that the columns stay straight.
                           .arg(withControlsVisible(slot.text), -kMaxLabelLength)
                           .arg(slot.house, -1)
                           .arg(slot.unit));
    }
    if (call.json())
        call.printJson(
            {{QStringLiteral("file"), call.context().LabelsFile}, {QStringLiteral("slots"), rows}});
    call.finish(ExitCode::Done);
}

void runLabelsSend(Invocation& call)
{
    call.options().addOption(deviceOption());
    if (!call.parse(0, 0) ||
        !call.takeAddress(QLatin1String("--device"), call.typed(kDeviceOption)))
        return;
    const std::optional<LabelSet> slots = startWithLabels(call);
    if (!slots)
        return;
    const std::optional<QString> deviceAddress = call.deviceAddress();
    if (!deviceAddress)
        return;
    const QString& address = *deviceAddress;
    sendLabels(call.fetcher(), call.log(), address, *slots,
               [&call, address](const FetchResult& result) {
                   const bool sent = result.ok;
                   if (call.json())
                       call.printJson(
                           {{QStringLiteral("address"), address}, {QStringLiteral("sent"), sent}});
                   else if (sent)
                       call.print(QStringLiteral("Labels sent"));
                   // The window's two lines, as one line like every other error.
                   if (!sent)
                       call.printError(QStringLiteral("ovlix labels send: %1 (%2)")
                                           .arg(kSendLabelsFailedText.join(QStringLiteral(": ")),
                                                result.error));
                   call.finish(sent ? ExitCode::Done : ExitCode::Failed);
               });
}

} // namespace ovlix::cli
