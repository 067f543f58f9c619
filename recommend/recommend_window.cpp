// The 名字推荐 window.
#include "recommend/recommend_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "naming/classics.h"
#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "recommend/reading_text.h"
#include "recommend/result_model.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {

RecommendWindow::~RecommendWindow() {
    ++jobId_;
    job_.reset();  // stops and waits for the worker before the model goes
}

QString RecommendWindow::statusText() const { return status_->text(); }

void RecommendWindow::setStatus(const QString& text) {
    status_->setText(text);
    setWindowTitle(text.isEmpty() ? utf8Q("名字推荐") : utf8Q("名字推荐 - ") + text);
}

// The model has just taken new rows, in their own order: best first (a sort still running was
// dropped with the old rows).
void RecommendWindow::resetOrder() {
    sortColumn_ = kScoreColumn;
    sortOrder_ = Qt::DescendingOrder;
    table_->horizontalHeader()->setSortIndicator(kScoreColumn, Qt::DescendingOrder);
    if (statusBeforeSort_) {
        table_->viewport()->unsetCursor();
        statusBeforeSort_.reset();
    }
}

void RecommendWindow::sortByColumn(int section) {
    if (importing()) return;
    if (section == sortColumn_) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortColumn_ = section;
        sortOrder_ = section == kScoreColumn ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    table_->horizontalHeader()->setSortIndicator(sortColumn_, sortOrder_);
    if (!statusBeforeSort_) statusBeforeSort_ = status_->text();
    // A list of millions takes a while: the window stays usable, the old order shown meanwhile.
    setStatus(utf8Q("正在按%1排序……").arg(utf8Q(std::string(columnCaption(sortColumn_)))));
    table_->viewport()->setCursor(Qt::BusyCursor);
    if (sortColumn_ == kScoreColumn && sortOrder_ == Qt::DescendingOrder) {
        model_->showOwnOrder();  // best first, ties as the engine ranked them
    } else {
        model_->sortBy(sortColumn_, sortOrder_);
    }
}

// The rows in their new order; the row that was current stays current.
void RecommendWindow::orderTaken() {
    table_->horizontalHeader()->setSortIndicator(sortColumn_, sortOrder_);  // the reset lost it
    table_->viewport()->unsetCursor();
    // A recommendation's status says it again (a minimum score may have changed meanwhile).
    if (!recommendation_.isEmpty()) {
        showRecommendationStatus();
    } else {
        setStatus(statusBeforeSort_.value_or(QString()));
    }
    statusBeforeSort_.reset();
    const int row = currentBeforeSort_ < 0 ? -1 : model_->rowOfStored(currentBeforeSort_);
    if (row >= 0) model_->fetchUpTo(row);
    QModelIndex shown = row >= 0 ? proxy_->mapFromSource(model_->index(row, 0)) : QModelIndex();
    if (!shown.isValid() && proxy_->rowCount() > 0) shown = proxy_->index(0, 0);
    if (shown.isValid()) {
        table_->setCurrentIndex(shown);
        table_->scrollTo(shown);
    }
}

void RecommendWindow::onRecommend() {
    if (importing()) return;
    const NamingData& data = model_->namingData();
    const std::string surname = surnameBox_->currentText().trimmed().toStdString();
    if (surname.empty()) {
        Dialogs::current().message(utf8Q("请选择或者输入姓氏。"));
        surnameBox_->setFocus();
        return;
    }
    if (!isKnownSurname(data, surname)) {
        Dialogs::current().message(utf8Q("查不到此姓氏的笔画或读音：") + utf8Q(surname));
        surnameBox_->setFocus();
        return;
    }
    RecommendOptions options;
    options.gender = genderBox_->currentIndex() == 1   ? Gender::Male
                     : genderBox_->currentIndex() == 2 ? Gender::Female
                                                       : Gender::Any;
    options.length = lengthBox_->currentIndex() == 1 ? 1 : 2;
    options.top = 0;  // every favourable name
    // One character with a stroke count and a reading, or nothing; the edit keeps the focus
    // with a message otherwise.
    auto oneCharacter = [&](QLineEdit* edit, const char* what, std::string& out) {
        const std::string text = edit->text().trimmed().toStdString();
        out.clear();
        if (text.empty()) return true;
        const std::vector<char32_t> cps = utf8CodePoints(text);
        if (cps.size() != 1 || data.strokes(cps[0]) <= 0 || data.readingId(cps[0]) == 0) {
            Dialogs::current().message(utf8Q(what) + utf8Q(text));
            edit->setFocus();
            return false;
        }
        out = text;
        return true;
    };
    if (!oneCharacter(fixedEdit_, "字辈须是一个查得到笔画和读音的汉字：", options.fixed) ||
        !oneCharacter(withEdit_, "喜欢的字须是一个查得到笔画和读音的汉字：", options.with)) {
        return;
    }
    if (!options.fixed.empty()) {
        options.fixedAt = options.length == 2 && fixedAtBox_->currentIndex() == 1 ? 3 : 2;
    }
    if (sourceBox_->currentIndex() == 1) {
        options.source = RecommendOptions::Source::AnyClassic;
    } else if (sourceBox_->currentIndex() > 1) {
        options.source = RecommendOptions::Source::OneBook;
        options.book = static_cast<Book>(sourceBox_->currentIndex() - 2);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<ScoredName> names = recommend(data, surname, options);
    model_->setScored(names);
    QApplication::restoreOverrideCursor();
    resetOrder();
    recommendation_ =
        utf8Q(surname) + " " + genderBox_->currentText() + " " + lengthBox_->currentText();
    if (!options.fixed.empty()) recommendation_ += utf8Q(" 字辈") + utf8Q(options.fixed);
    if (!options.with.empty()) recommendation_ += utf8Q(" 有") + utf8Q(options.with);
    if (sourceBox_->currentIndex() > 0)
        recommendation_ += utf8Q(" 出自") + sourceBox_->currentText();
    recommended_ = names.size();
    showRecommendationStatus();
    if (proxy_->rowCount() > 0) table_->setCurrentIndex(proxy_->index(0, 0));
}

void RecommendWindow::showRecommendationStatus() {
    if (recommended_ == 0) {
        setStatus(recommendation_ + utf8Q("：没有符合条件的名字"));
        return;
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);  // 17,391: thousands grouped
    QString text = recommendation_ + utf8Q("：%1 个名字").arg(c.toString(qulonglong{recommended_}));
    if (proxy_->minimumScore() > 0) {
        text += utf8Q("，%1 分以上 %2 个")
                    .arg(proxy_->minimumScore())
                    .arg(c.toString(model_->countAtLeast(proxy_->minimumScore())));
    }
    setStatus(text);
}

void RecommendWindow::showDetails() {
    const QString why = whyNotSendable();
    sendButton_->setEnabled(why.isEmpty());
    sendButton_->setToolTip(why);
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) {
        details_->clear();
        return;
    }
    const int row = proxy_->mapToSource(current).row();
    const ResultRow& r = model_->row(row);
    if (r.score < 0) {
        details_->setPlainText(utf8Q(r.name) + "\n\n" + utf8Q(model_->text(row, kNotesColumn)));
        return;
    }
    ScoredName scored;
    if (!scoreName(model_->namingData(), r.name, scored)) return;
    details_->setPlainText(utf8Q(detailText(model_->namingData(), scored)));
}

// The main window reads a name of three characters as a single surname and two given-name
// characters; a compound surname with one given-name character would get another reading there.
QString RecommendWindow::whyNotSendable() const {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) return {};
    const ResultRow& r = model_->row(proxy_->mapToSource(current).row());
    if (r.surnameCharacters == 2 && r.characters == 3) {
        return utf8Q(
            "主窗口把三个字的名字一律按单姓双名测算，复姓单名在那里会得出另一种结果；"
            "这个名字的完整测算就在右边。");
    }
    return {};
}

void RecommendWindow::onSend() {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) {
        Dialogs::current().message(utf8Q("请先在表中选中一个名字。"));
        return;
    }
    if (const QString why = whyNotSendable(); !why.isEmpty()) {
        Dialogs::current().message(why);
        return;
    }
    const QString name = utf8Q(model_->row(proxy_->mapToSource(current).row()).name);
    Q_EMIT nameSent(name);
    accept();  // the main window shows the reading of the name
}

void RecommendWindow::keyPressEvent(QKeyEvent* event) {
    if (!isEnterKey(event)) {
        QDialog::keyPressEvent(event);  // Escape closes, as in the other windows
        return;
    }
    // Enter (on a button it presses the button, through pressFocusedButtonOnEnter): on a row it
    // sends the row to the main window, in the choices it recommends. It never closes the window.
    QWidget* focus = QApplication::focusWidget();
    guarded([&] {
        if (focus == table_) {
            onSend();
        } else if (focus == genderBox_ || focus == lengthBox_ || focus == fixedEdit_ ||
                   focus == fixedAtBox_ || focus == withEdit_ || focus == sourceBox_ ||
                   focus == minimumScoreBox_) {
            onRecommend();
        }
    });
    event->accept();
}

bool RecommendWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == surnameBox_ || watched == surnameBox_->lineEdit()) &&
        event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent*>(event))) {
        guarded([this] { onRecommend(); });
        return true;
    }
    // Ctrl+End goes to the last name of the table, not of the rows fetched so far.
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_End && (key->modifiers() & Qt::ControlModifier)) {
            model_->fetchUpTo(model_->size() - 1);
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quenvil
