// The 名字推荐 window.
#include "recommend/recommend_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>

#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "recommend/result_model.h"
#include "text/utf8.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr size_t kRecommendCount = 200;  // names a recommendation lists
constexpr int kCaptionPixels = 14;
constexpr int kProgressSteps = 1000;

QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QLabel* caption(const char* text, QWidget* parent) {
    auto* label = new QLabel(utf8Q(text), parent);
    styleTealCaption(label, kCaptionPixels);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}

QPushButton* button(const char* text, QWidget* parent) {
    return new QPushButton(utf8Q(text), parent);
}

}  // namespace

RecommendWindow::RecommendWindow(const NamingData& data, const std::vector<std::string>& surnames,
                                 QWidget* parent)
    : QDialog(parent), sortColumn_(kScoreColumn) {
    setWindowTitle(utf8Q("名字推荐"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    // The choices.
    surnameBox = new QComboBox(this);
    surnameBox->setEditable(true);
    surnameBox->setInsertPolicy(QComboBox::NoInsert);
    surnameBox->setCompleter(nullptr);  // Enter takes what was typed, never a completion
    surnameBox->setMaxVisibleItems(20);
    for (const std::string& s : surnames) surnameBox->addItem(q(s));
    surnameBox->setCurrentIndex(-1);
    surnameBox->setEditText(QString());
    surnameBox->setMinimumContentsLength(6);
    surnameBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    surnameBox->installEventFilter(this);
    surnameBox->lineEdit()->installEventFilter(this);

    genderBox = new QComboBox(this);
    genderBox->addItems({utf8Q("不限"), utf8Q("男"), utf8Q("女")});
    lengthBox = new QComboBox(this);
    lengthBox->addItems({utf8Q("双名"), utf8Q("单名")});
    fixedEdit = new QLineEdit(this);
    fixedEdit->setMaxLength(4);
    fixedEdit->setPlaceholderText(utf8Q("可不填"));
    fixedEdit->setMaximumWidth(fontMetrics().horizontalAdvance(utf8Q("可不填可")) + 12);
    fixedAtBox = new QComboBox(this);
    fixedAtBox->addItems({utf8Q("名的第一个字"), utf8Q("名的第二个字")});
    recommendButton = button("推荐", this);

    // The table and the detail box.
    model_ = new ResultModel(data, this);
    proxy_ = new ResultSortProxy(model_, this);
    table = new QTableView(this);
    table->setModel(proxy_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(kScoreColumn, Qt::DescendingOrder);
    header->setStretchLastSection(true);
    header->setFont(songFont(kCaptionPixels));
    const int em = table->fontMetrics().horizontalAdvance(QChar(0x56FD));
    const int widths[kColumnCount] = {5 * em, 3 * em, 8 * em, 6 * em, 9 * em, 6 * em, 8 * em};
    for (int c = 0; c < kColumnCount; ++c) header->resizeSection(c, widths[c]);

    details = new QPlainTextEdit(this);
    details->setReadOnly(true);
    details->setTabChangesFocus(true);
    details->setPlaceholderText(utf8Q("选中一个名字，这里显示它的五格、三才和评分说明。"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(table);
    splitter->addWidget(details);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    importButton = button("导入名单评分", this);
    exportButton = button("导出", this);
    copyButton = button("复制", this);
    sendButton = button("送到主窗口测算", this);
    closeButton = button("关闭", this);
    status = new QLabel(this);
    status->setFont(songFont(kCaptionPixels));

    // Layout: the choices, the table beside the details, the commands.
    auto* choices = new QHBoxLayout;
    choices->addWidget(caption("姓氏:", this));
    choices->addWidget(surnameBox);
    choices->addSpacing(8);
    choices->addWidget(caption("性别:", this));
    choices->addWidget(genderBox);
    choices->addSpacing(8);
    choices->addWidget(caption("字数:", this));
    choices->addWidget(lengthBox);
    choices->addSpacing(8);
    choices->addWidget(caption("字辈:", this));
    choices->addWidget(fixedEdit);
    choices->addWidget(fixedAtBox);
    choices->addSpacing(8);
    choices->addWidget(recommendButton);
    choices->addStretch(1);

    auto* commands = new QHBoxLayout;
    commands->addWidget(importButton);
    commands->addWidget(exportButton);
    commands->addWidget(copyButton);
    commands->addWidget(sendButton);
    commands->addSpacing(8);
    commands->addWidget(status, 1);
    commands->addWidget(closeButton);

    auto* all = new QVBoxLayout(this);
    all->addLayout(choices);
    all->addWidget(splitter, 1);
    all->addLayout(commands);

    setTabOrder(surnameBox, genderBox);
    setTabOrder(genderBox, lengthBox);
    setTabOrder(lengthBox, fixedEdit);
    setTabOrder(fixedEdit, fixedAtBox);
    setTabOrder(fixedAtBox, recommendButton);
    setTabOrder(recommendButton, table);
    setTabOrder(table, details);
    setTabOrder(details, importButton);
    setTabOrder(importButton, exportButton);
    setTabOrder(exportButton, copyButton);
    setTabOrder(copyButton, sendButton);
    setTabOrder(sendButton, closeButton);
    // Enter presses the focused button, and never a default button that would close the window.
    pressFocusedButtonOnEnter(this);

    // The progress box of an import: modal to this window, which keeps painting.
    progressBox = new QDialog(this);
    progressBox->setWindowTitle(utf8Q("导入名单评分"));
    progressBox->setWindowModality(Qt::WindowModal);
    progressLabel = new QLabel(progressBox);
    progressLabel->setFont(songFont(kCaptionPixels));
    progressBar = new QProgressBar(progressBox);
    progressBar->setRange(0, kProgressSteps);
    progressBar->setMinimumWidth(320);
    cancelButton = new QPushButton(utf8Q("取消"), progressBox);
    auto* progressLayout = new QVBoxLayout(progressBox);
    progressLayout->addWidget(progressLabel);
    progressLayout->addWidget(progressBar);
    auto* cancelRow = new QHBoxLayout;
    cancelRow->addStretch(1);
    cancelRow->addWidget(cancelButton);
    progressLayout->addLayout(cancelRow);
    // 取消, Escape and the close box all reject the box: that cancels the import.
    connect(cancelButton, &QPushButton::clicked, progressBox, &QDialog::reject);
    connectHandler(progressBox, &QDialog::rejected, this, &RecommendWindow::cancelImport);

    connectHandler(recommendButton, &QPushButton::clicked, this, &RecommendWindow::recommendClick);
    connectHandler(importButton, &QPushButton::clicked, this, &RecommendWindow::importClick);
    connectHandler(exportButton, &QPushButton::clicked, this, &RecommendWindow::exportClick);
    connectHandler(copyButton, &QPushButton::clicked, this, &RecommendWindow::copyClick);
    connectHandler(sendButton, &QPushButton::clicked, this, &RecommendWindow::sendClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connectHandler(table, &QTableView::doubleClicked, this, &RecommendWindow::sendClick);
    connectHandler(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   &RecommendWindow::showDetails);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { guarded([&] { headerClicked(section); }); });
    auto* copyKey =
        new QShortcut(QKeySequence::Copy, table, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connectHandler(copyKey, &QShortcut::activated, this, &RecommendWindow::copyClick);
    // Alt+1 … Alt+7 sort by a column from the keyboard, as a click on its header does.
    for (int c = 0; c < kColumnCount; ++c) {
        auto* sortKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + c)), this);
        connect(sortKey, &QShortcut::activated, this,
                [this, c] { guarded([&] { headerClicked(c); }); });
    }
    connect(lengthBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        fixedAtBox->setCurrentIndex(0);
        fixedAtBox->setEnabled(index == 0);  // a single given name has one place
    });

    // A size that fits the screen, at any scaling.
    QSize size(1040, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size() - QSize(40, 60));
        resize(size);
        splitter->setSizes({size.width() * 2 / 3, size.width() / 3});
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
    surnameBox->setFocus();
}

RecommendWindow::~RecommendWindow() {
    ++jobId_;
    job_.reset();  // stops and waits for the worker before the model goes
}

QString RecommendWindow::statusText() const { return status->text(); }

void RecommendWindow::setStatus(const QString& text) {
    status->setText(text);
    setWindowTitle(text.isEmpty() ? utf8Q("名字推荐") : utf8Q("名字推荐 - ") + text);
}

void RecommendWindow::resetOrder() {
    sortColumn_ = kScoreColumn;
    sortOrder_ = Qt::DescendingOrder;
    proxy_->sort(-1);  // the model's own order: best first
    table->horizontalHeader()->setSortIndicator(kScoreColumn, Qt::DescendingOrder);
}

void RecommendWindow::headerClicked(int section) {
    if (importing()) return;
    if (section == sortColumn_) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortColumn_ = section;
        sortOrder_ = section == kScoreColumn ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    if (sortColumn_ == kScoreColumn && sortOrder_ == Qt::DescendingOrder) {
        proxy_->sort(-1);  // the model's order is best first, ties as the engine ranked them
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        proxy_->sort(sortColumn_, sortOrder_);
        QApplication::restoreOverrideCursor();
    }
    table->horizontalHeader()->setSortIndicator(sortColumn_, sortOrder_);
}

void RecommendWindow::recommendClick() {
    if (importing()) return;
    const NamingData& data = model_->namingData();
    const std::string surname = surnameBox->currentText().trimmed().toStdString();
    if (surname.empty()) {
        Dialogs::current().message(utf8Q("请选择或者输入姓氏。"));
        surnameBox->setFocus();
        return;
    }
    if (!isKnownSurname(data, surname)) {
        Dialogs::current().message(utf8Q("查不到此姓氏的笔画或读音：") + q(surname));
        surnameBox->setFocus();
        return;
    }
    RecommendOptions options;
    options.gender = genderBox->currentIndex() == 1   ? Gender::Male
                     : genderBox->currentIndex() == 2 ? Gender::Female
                                                      : Gender::Any;
    options.length = lengthBox->currentIndex() == 1 ? 1 : 2;
    options.top = kRecommendCount;
    const std::string fixed = fixedEdit->text().trimmed().toStdString();
    if (!fixed.empty()) {
        const std::vector<std::string_view> chars = utf8Characters(fixed);
        char32_t cp = 0;
        forEachCodePoint(
            fixed, [&](int32_t c, std::string_view) { cp = c < 0 ? 0 : static_cast<char32_t>(c); });
        if (chars.size() != 1 || data.strokes(cp) <= 0 || data.readingId(cp) == 0) {
            Dialogs::current().message(utf8Q("字辈须是一个查得到笔画和读音的汉字：") + q(fixed));
            fixedEdit->setFocus();
            return;
        }
        options.fixed = fixed;
        options.fixedAt = options.length == 2 && fixedAtBox->currentIndex() == 1 ? 3 : 2;
    }
    const std::vector<ScoredName> names = recommend(data, surname, options);
    model_->setScored(names);
    resetOrder();
    QString text = q(surname) + " " + genderBox->currentText() + " " + lengthBox->currentText();
    if (!options.fixed.empty()) text += utf8Q(" 字辈") + q(options.fixed);
    setStatus(names.empty() ? text + utf8Q("：没有符合条件的名字")
                            : text + utf8Q("：%1 个名字").arg(names.size()));
    if (!names.empty()) table->setCurrentIndex(proxy_->index(0, 0));
}

void RecommendWindow::showDetails() {
    const QModelIndex current = table->currentIndex();
    if (!current.isValid()) {
        details->clear();
        return;
    }
    const int row = proxy_->mapToSource(current).row();
    const ResultRow& r = model_->row(row);
    if (r.score < 0) {
        details->setPlainText(q(r.name) + "\n\n" + q(model_->text(row, kNotesColumn)));
        return;
    }
    ScoredName scored;
    if (!scoreName(model_->namingData(), r.name, scored)) return;
    details->setPlainText(q(detailText(model_->namingData(), scored)));
}

void RecommendWindow::sendClick() {
    const QModelIndex current = table->currentIndex();
    if (!current.isValid()) {
        Dialogs::current().message(utf8Q("请先在表中选中一个名字。"));
        return;
    }
    const QString name = q(model_->row(proxy_->mapToSource(current).row()).name);
    Q_EMIT nameSent(name);
    accept();  // the main window shows the reading of the name
}

void RecommendWindow::copyClick() {
    std::vector<int> rows;
    for (const QModelIndex& i : table->selectionModel()->selectedRows()) rows.push_back(i.row());
    if (rows.empty()) {
        Dialogs::current().message(utf8Q("请先在表中选中要复制的名字。"));
        return;
    }
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(tabSeparated(*model_, *proxy_, rows));
}

void RecommendWindow::exportClick() {
    if (proxy_->rowCount() == 0) {
        Dialogs::current().message(utf8Q("表中没有可导出的名字。"));
        return;
    }
    const QStringList filters = {utf8Q("CSV 文件，UTF-8 (*.csv)"), utf8Q("文本文件，GBK (*.txt)")};
    const auto choice = Dialogs::current().saveFile(this, filters, utf8Q("名字推荐.csv"));
    if (!choice) return;
    // The file type chosen decides the format; a name without that type's suffix gets it.
    const ExportFormat format = choice->filter == 1 ? ExportFormat::GbkText : ExportFormat::CsvUtf8;
    QString file = choice->file;
    const QString suffix = format == ExportFormat::GbkText ? ".txt" : ".csv";
    if (!file.endsWith(suffix, Qt::CaseInsensitive)) file += suffix;
    const std::string bytes = exportBytes(*model_, *proxy_, format);
    std::ofstream out(pathFromQ(file), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        Dialogs::current().message(utf8Q("不能写入文件：") + file);
        return;
    }
    setStatus(
        utf8Q("已导出 %1 个名字到 %2").arg(proxy_->rowCount()).arg(QFileInfo(file).fileName()));
}

void RecommendWindow::importClick() {
    if (importing()) return;
    const auto chosen =
        Dialogs::current().openFile(this, utf8Q("名单 (*.txt *.csv);;所有文件 (*)"));
    if (!chosen) return;
    importName_ = QFileInfo(*chosen).fileName();
    model_->clear();
    details->clear();
    resetOrder();
    table->horizontalHeader()->setSortIndicatorShown(false);  // rows come in file order
    setStatus(utf8Q("正在评分 %1").arg(importName_));
    progressLabel->setText(utf8Q("正在读取 %1 ……").arg(importName_));
    progressBar->setValue(0);
    const uint64_t id = ++jobId_;
    // The sinks run on the worker; what they hand over is taken on this window's thread, and
    // dropped when the job is no longer the current one (cancelled, or the window gone).
    auto onBatch = [this, id](ScoredBatch&& batch) {
        auto shared = std::make_shared<ScoredBatch>(std::move(batch));
        QMetaObject::invokeMethod(
            this, [this, id, shared] { guarded([&] { takeBatch(id, *shared); }); },
            Qt::QueuedConnection);
    };
    auto onEnd = [this, id](const ScoringEnd& end) {
        QMetaObject::invokeMethod(
            this, [this, id, end] { guarded([&] { importEnded(id, end); }); },
            Qt::QueuedConnection);
    };
    job_ = std::make_unique<ListScoring>(model_->maker(), pathFromQ(*chosen), onBatch, onEnd);
    progressBox->show();
}

void RecommendWindow::takeBatch(uint64_t job, ScoredBatch& batch) {
    if (job != jobId_ || !job_) return;
    model_->append(std::move(batch.rows), batch.notes);
    job_->batchTaken();
    const double part = batch.total ? static_cast<double>(batch.done) / batch.total : 1.0;
    progressBar->setValue(static_cast<int>(part * kProgressSteps));
    progressLabel->setText(utf8Q("%1：已评分 %2 个名字").arg(importName_).arg(model_->rowCount()));
}

void RecommendWindow::importEnded(uint64_t job, const ScoringEnd& end) {
    if (job != jobId_ || !job_) return;
    job_.reset();  // the worker has finished: this only joins it
    if (!end.error.empty()) {
        importStopped(QString());
        Dialogs::current().message(q(end.error));
        return;
    }
    importStopped(utf8Q("%1：%2 个名字").arg(importName_).arg(model_->rowCount()));
}

void RecommendWindow::cancelImport() {
    if (!job_) return;
    ++jobId_;      // what the worker handed over and is still queued is dropped
    job_.reset();  // stops it and waits
    importStopped(utf8Q("%1：已取消，已评分的 %2 个名字").arg(importName_).arg(model_->rowCount()));
}

// The table keeps the rows taken so far (a cancel keeps the names scored before it), best first.
void RecommendWindow::importStopped(const QString& how) {
    progressBox->hide();
    activateWindow();  // back from the progress box
    if (!focusWidget()) importButton->setFocus();
    model_->sortBestFirst();
    resetOrder();
    table->horizontalHeader()->setSortIndicatorShown(true);
    setStatus(how);
    if (model_->rowCount() > 0) table->setCurrentIndex(proxy_->index(0, 0));
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
        if (focus == table) {
            sendClick();
        } else if (focus == genderBox || focus == lengthBox || focus == fixedEdit ||
                   focus == fixedAtBox) {
            recommendClick();
        }
    });
    event->accept();
}

bool RecommendWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == surnameBox || watched == surnameBox->lineEdit()) &&
        event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent*>(event))) {
        guarded([this] { recommendClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quenvil
