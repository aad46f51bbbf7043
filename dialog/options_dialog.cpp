#include "dialog/options_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/messages.h"

bool AskComparisonOptions(QWidget* parent, ComparisonOptions& options) {
    const ComparisonOptionWords& words = ComparisonOptionText();
    const DialogWords& dialogWords = DialogText();
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("comparisonOptions"));
    dialog.setWindowTitle(QString::fromUtf8(words.title));
    auto* layout = new QVBoxLayout(&dialog);
    const auto box = [&](const char* name, const char* text, const char* tip, bool checked) {
        auto* check = new QCheckBox(QString::fromUtf8(text), &dialog);
        check->setObjectName(QString::fromLatin1(name));
        check->setToolTip(QString::fromUtf8(tip));
        check->setChecked(checked);
        layout->addWidget(check);
        return check;
    };
    QCheckBox* ignoreCase =
        box("ignoreCase", words.ignoreCase, words.ignoreCaseHelp, options.ignoreCase);
    QCheckBox* ignoreBlanks =
        box("ignoreBlanks", words.ignoreBlanks, words.ignoreBlanksHelp, options.ignoreBlanks);
    QCheckBox* ignoreClassifications =
        box("ignoreClassifications", words.ignoreClassifications, words.ignoreClassificationsHelp,
            options.ignoreClassifications);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(dialogWords.cancelButton));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    options.ignoreCase = ignoreCase->isChecked();
    options.ignoreBlanks = ignoreBlanks->isChecked();
    options.ignoreClassifications = ignoreClassifications->isChecked();
    return true;
}
