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
#include "ui/error_text.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

// A button of the row under the surname, 28 pixels high.
QPushButton* makeButton(QWidget* window, const char* objectName, const char* caption, int x,
                        int width) {
    auto* button = new QPushButton(utf8Q(caption), window);
    button->setObjectName(QLatin1String(objectName));
    button->setGeometry(x, 48, width, 28);
    return button;
}

}  // namespace

SemiAutoNamingWindow::SemiAutoNamingWindow(Database& db, QWidget* parent)
    : QDialog(parent), db_(db) {
    setWindowTitle(utf8Q("半自动取名"));
    makeFixedCentred(this, 668, 355);

    previewView_ = new QPlainTextEdit(this);
    previewView_->setObjectName(QStringLiteral("previewView"));
    previewView_->setGeometry(12, 12, 316, 331);
    previewView_->setPlainText(QString());
    // The preview is for reading: not editable, in the normal text colour, and out of the tab
    // chain (a click still gives it the focus for scrolling and copying).
    previewView_->setReadOnly(true);
    previewView_->setFocusPolicy(Qt::ClickFocus);
    previewView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* surnameCaption = new QLabel(utf8Q("你选择的姓氏是:"), this);
    surnameCaption->setObjectName(QStringLiteral("surnameCaption"));
    surnameCaption->setGeometry(340, 14, 130, 22);
    styleTealCaption(surnameCaption, 14);
    surnameEdit_ = new QLineEdit(this);
    surnameEdit_->setObjectName(QStringLiteral("surnameEdit"));
    surnameEdit_->setGeometry(478, 13, 80, 24);
    surnameEdit_->setReadOnly(true);

    browseButton_ = makeButton(this, "browseButton", "浏览.....", 340, 72);
    importButton_ = makeButton(this, "importButton", "导入", 418, 72);
    importButton_->setEnabled(false);
    filterButton_ = makeButton(this, "filterButton", "筛选", 496, 72);
    filterButton_->setEnabled(false);
    closeButton_ = makeButton(this, "closeButton", "关闭", 574, 82);

    resultsView_ = new QPlainTextEdit(this);
    resultsView_->setObjectName(QStringLiteral("resultsView"));
    resultsView_->setGeometry(340, 88, 316, 255);
    resultsView_->setReadOnly(true);
    resultsView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont big = resultsView_->font();
    big.setPixelSize(19);
    resultsView_->setFont(big);
    setTextColor(resultsView_, QColor(255, 0, 0));

    connectHandler(browseButton_, &QPushButton::clicked, this, &SemiAutoNamingWindow::onBrowse);
    connectHandler(importButton_, &QPushButton::clicked, this, &SemiAutoNamingWindow::onImport);
    connectHandler(filterButton_, &QPushButton::clicked, this, &SemiAutoNamingWindow::onFilter);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    pressFocusedButtonOnEnter(this);
    // The window opens on 浏览.....: Enter browses, the first step.
    browseButton_->setFocus();
}

void SemiAutoNamingWindow::onBrowse() {
    previewView_->clear();
    const auto chosen = Dialogs::current().openFile(this, utf8Q("名单文件 (*.txt)"));
    if (!chosen) return;
    std::vector<std::string> lines;
    try {
        lines = readNameListLines(pathFromQ(*chosen));
    } catch (const std::system_error& e) {
        Dialogs::current().message(utf8Q("读不出文件 %1：%2").arg(*chosen, reasonText(e.code())));
        return;
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
    setLines(previewView_, preview);
    loaded_ = std::move(lines);
    importButton_->setEnabled(true);
}

void SemiAutoNamingWindow::onImport() {
    if (!loaded_) return;  // the loaded list went with the last import
    ImportPlan plan;
    try {
        plan = planImport(*loaded_);
    } catch (const ImportError& e) {
        Dialogs::current().message(QString::fromUtf8(e.what()));
        return;
    }
    surnameEdit_->setText(toQ(plan.surname));
    resultsView_->appendPlainText(utf8Q(kImportingMessage));
    resultsView_->repaint();
    size_t stored = 0;
    try {
        stored = writeImport(db_, plan);
    } catch (const DatabaseBusyError&) {
        // Nothing has changed; the loaded list stays for another try.
        resultsView_->clear();
        Dialogs::current().message(utf8Q(kDatabaseBusyMessage));
        return;
    } catch (const DatabaseReadOnlyError& e) {
        resultsView_->clear();
        Dialogs::current().message(utf8Q(kDatabaseReadOnlyMessage) + '\n' +
                                   QString::fromUtf8(e.what()));
        return;
    } catch (const NoUserCopyError& e) {
        resultsView_->clear();
        Dialogs::current().message(utf8Q(kNoUserCopyImportMessage) + '\n' +
                                   QString::fromUtf8(e.what()));
        return;
    }
    loaded_.reset();
    disableButton(importButton_, resultsView_);  // until the next browse loads a list
    Dialogs::current().message(QString::fromStdString(importDoneMessage(stored)));
    resultsView_->clear();
    filterButton_->setEnabled(true);
}

void SemiAutoNamingWindow::onFilter() {
    resultsView_->clear();
    std::vector<std::string> found;
    std::string lastSurname;  // stays empty when xm2 has no row
    auto show = [&] {
        setLines(resultsView_, found);
        if (!lastSurname.empty()) surnameEdit_->setText(toQ(lastSurname));
    };
    try {
        filterImported(db_, found, lastSurname);
    } catch (...) {
        show();  // what was found before the error stays listed
        throw;
    }
    show();
    importButton_->setEnabled(false);
    disableButton(filterButton_, resultsView_);  // the focus goes to the results
    Dialogs::current().message(utf8Q(kFilterDoneMessage));
}

}  // namespace quenvil
