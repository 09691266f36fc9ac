#pragma once

#include "DeviceWait.h"
#include "labels/LabelSet.h"

#include <array>
#include <memory>
#include <QWidget>

class QComboBox;
class QLineEdit;

namespace Ui {
class frmDeviceLabels;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;

// Edits the device's eight X10 labels, keeps them in the labels file and sends
// them to the device. The rows are the only copy of the labels while it is
// open; closing it drops unsaved edits.
class DeviceLabelsWindow : public QWidget {
    Q_OBJECT
public:
    explicit DeviceLabelsWindow(WindowEnvironment& environment);
    ~DeviceLabelsWindow() override;

private:
    void Form_Load();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdClear_Click();
    void cmdSend_Click();

    void ClearLabels();
    void SaveLabels();
    void ReadLabels();
    void SetOvlixLabels();

    LabelSet rows() const;
    void showRows(const LabelSet& slots);

    std::unique_ptr<Ui::frmDeviceLabels> ui;
    WindowEnvironment& environment_;
    std::array<QLineEdit*, kLabelSlots> txtLabel{};
    std::array<QComboBox*, kLabelSlots> cboHouse{};
    std::array<QComboBox*, kLabelSlots> cboUnit{};
    std::unique_ptr<HttpFetcher> Inet1;
    DeviceWait wait_{*this};
};

} // namespace ovlix
