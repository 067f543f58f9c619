// Semi-automatic naming window.
#include "semi_auto_naming/semi_auto_naming_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "naming/candidate_filter.h"
#include "semi_auto_naming/import_line.h"
#include "semi_auto_naming/name_import.h"
#include "text/lines.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {

SemiAutoNamingWindow::SemiAutoNamingWindow(Database& db, QWidget* parent)
    : QDialog(parent), db_(db) {
    setWindowTitle(utf8Q("半自动取名"));
    makeFixedCentred(this, 668, 355);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(12, 12, 316, 331);
    Memo1->setPlainText(QString());
    // The preview is for reading: not editable, in the normal text colour, and out of the tab
    // chain (a click still gives it the focus for scrolling and copying).
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Label1 = new QLabel(utf8Q("你选择的姓氏是:"), this);
    Label1->setGeometry(340, 14, 130, 22);
    styleTealCaption(Label1, 14);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(478, 13, 80, 24);
    Edit1->setReadOnly(true);

    Button2 = new QPushButton(utf8Q("浏览....."), this);
    Button2->setGeometry(340, 48, 72, 28);
    Button1 = new QPushButton(utf8Q("导入"), this);
    Button1->setGeometry(418, 48, 72, 28);
    Button1->setEnabled(false);
    Button3 = new QPushButton(utf8Q("筛选"), this);
    Button3->setGeometry(496, 48, 72, 28);
    Button3->setEnabled(false);
    BitBtn3 = new QPushButton(utf8Q("关闭"), this);
    BitBtn3->setGeometry(574, 48, 82, 28);

    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(340, 88, 316, 255);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont big = Memo2->font();
    big.setPixelSize(19);
    Memo2->setFont(big);
    setTextColor(Memo2, QColor(255, 0, 0));

    connectHandler(Button2, &QPushButton::clicked, this, &SemiAutoNamingWindow::Button2Click);
    connectHandler(Button1, &QPushButton::clicked, this, &SemiAutoNamingWindow::Button1Click);
    connectHandler(Button3, &QPushButton::clicked, this, &SemiAutoNamingWindow::Button3Click);
    connectHandler(BitBtn3, &QPushButton::clicked, this, &SemiAutoNamingWindow::BitBtn3Click);
    pressFocusedButtonOnEnter(this);
    // The window opens on 浏览.....: Enter browses, the first step.
    Button2->setFocus();
}

void SemiAutoNamingWindow::Button2Click() {
    Memo1->clear();
    const auto chosen = Dialogs::current().openFile(this, QStringLiteral("*.txt"));
    if (!chosen) return;
    std::vector<std::string> lines;
    try {
        lines = readNameListLines(pathFromQ(*chosen));
    } catch (const std::exception& e) {
        Dialogs::current().message(QString::fromUtf8(e.what()));
        return;
    }
    // Lines of more than 64 KiB are shown cut: laying out megabytes of one line would freeze the
    // window for seconds.
    constexpr size_t kPreviewLineBytes = 65536;
    std::vector<std::string> preview;
    preview.reserve(lines.size());
    for (const std::string& line : lines) preview.push_back(previewLine(line, kPreviewLineBytes));
    setLines(Memo1, preview);
    loaded_ = std::move(lines);
    Button1->setEnabled(true);
}

void SemiAutoNamingWindow::Button1Click() {
    if (!loaded_) return;  // the loaded list went with the last import
    ImportPlan plan;
    try {
        plan = planImport(*loaded_);
    } catch (const ImportError& e) {
        Dialogs::current().message(QString::fromUtf8(e.what()));
        return;
    }
    Edit1->setText(toQ(plan.surname));
    Memo2->appendPlainText(utf8Q(kImportingMessage));
    Memo2->repaint();
    size_t stored = 0;
    try {
        stored = writeImport(db_, plan);
    } catch (const DatabaseBusyError&) {
        // Nothing has changed; the loaded list stays for another try.
        Memo2->clear();
        Dialogs::current().message(utf8Q(kDatabaseBusyMessage));
        return;
    } catch (const DatabaseReadOnlyError& e) {
        Memo2->clear();
        Dialogs::current().message(utf8Q(kDatabaseReadOnlyMessage) + '\n' +
                                   QString::fromUtf8(e.what()));
        return;
    }
    loaded_.reset();
    disableButton(Button1, Memo2);  // until the next browse loads a list
    Dialogs::current().message(QString::fromStdString(importDoneMessage(stored)));
    Memo2->clear();
    Button3->setEnabled(true);
}

void SemiAutoNamingWindow::Button3Click() {
    Memo2->clear();
    std::vector<std::string> found;
    std::string lastSurname;  // stays empty when xm2 has no row
    auto show = [&] {
        setLines(Memo2, found);
        if (!lastSurname.empty()) Edit1->setText(toQ(lastSurname));
    };
    try {
        filterImported(db_, found, lastSurname);
    } catch (...) {
        show();  // what was found before the error stays listed
        throw;
    }
    show();
    Button1->setEnabled(false);
    disableButton(Button3, Memo2);  // the focus goes to the results
    Dialogs::current().message(utf8Q(kFilterDoneMessage));
}

void SemiAutoNamingWindow::BitBtn3Click() { close(); }

}  // namespace quenvil
