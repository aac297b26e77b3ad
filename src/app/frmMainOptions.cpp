#include <QLineEdit>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <optional>

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "services/ErrorScope.h"
#include "ui/InputMaxLength.h"

namespace gapwell {

namespace {
constexpr std::int64_t kLargestCount = 65535;
constexpr std::int64_t kSixteenMiB = 16777216;
constexpr int kShortOffsetDigits = 6;
constexpr int kLongOffsetDigits = 7;

// A text made only of decimal digits, read as a number; anything else (a sign, blanks, letters)
// is no number.
std::optional<std::uint64_t> ReadPlainDecimal(const QString& text) {
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 10);
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !plain) {
        return std::nullopt;
    }
    return value;
}
}  // namespace

void frmMain::txtByteType_LostFocus() {
    const QString text = txtByteType->text();
    if (text.isEmpty()) {
        txtByteType->setText(QStringLiteral("FF"));
    } else {
        txtByteType->setText((QStringLiteral("0") + text).right(2));
    }
}

void frmMain::LimitCount(QLineEdit* countBox) {
    if (ReadDecimalLeading(countBox->text().toStdString()) > kLargestCount) {
        // Setting the text puts the caret after its last character, nothing selected.
        countBox->setText(QString::number(kLargestCount));
    }
}

void frmMain::txtNeededBytes_Change() {
    LimitCount(txtNeededBytes);
}

void frmMain::txtNeededBytes_LostFocus() {
    if (txtNeededBytes->text().isEmpty()) {
        txtNeededBytes->setText(QStringLiteral("1"));
    }
}

void frmMain::txtSearchInterval_Change() {
    LimitCount(txtSearchInterval);
}

void frmMain::txtSearchInterval_LostFocus() {
    if (txtSearchInterval->text().isEmpty()) {
        txtSearchInterval->setText(QStringLiteral("1"));
    }
}

void frmMain::txtOffset_Change() {
    ErrorScope scope("txtOffset_Change", "frmMain");
    // Measured afresh at every change: the file may have changed since it was opened.
    std::int64_t length = 0;
    scope.Step([&] { length = RomLength(m_FileName); });
    scope.Step([&] {
        SetInputMaxLength(txtOffset, length > kSixteenMiB ? kLongOffsetDigits : kShortOffsetDigits);
    });
}

void frmMain::optOffset_Click(int Index) {
    ErrorScope scope("optOffset_Click", "frmMain");
    scope.Step([&] { txtOffset->setEnabled(Index == 0); });
    scope.Step([&] {
        if (Index == 0) {
            SetTextUncut(txtOffset, txtOffset->property("tag").toString());
        } else {
            txtOffset->setProperty("tag", txtOffset->text());
        }
    });
}

void frmMain::txtDec_Change() {
    if (converting_) {
        return;
    }
    converting_ = true;
    const QString decimal = txtDec->text();
    if (decimal.isEmpty()) {
        txtHex->setText(QString());
    } else if (const std::optional<std::uint64_t> value = ReadPlainDecimal(decimal)) {
        SetTextUncut(txtHex, QString::fromStdString(ToHex(*value)));
    }
    converting_ = false;
}

void frmMain::txtHex_Change() {
    if (converting_) {
        return;
    }
    converting_ = true;
    const QString hex = txtHex->text();
    if (hex.isEmpty()) {
        txtDec->setText(QString());
    } else {
        // Read as a 32-bit two's-complement value, as the hex box holds at most 8 digits.
        const auto bits = static_cast<std::uint32_t>(ReadHexLeading(hex.toStdString()));
        SetTextUncut(txtDec, QString::number(static_cast<std::int32_t>(bits)));
    }
    converting_ = false;
}

}  // namespace gapwell
