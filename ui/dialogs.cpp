// Message boxes through QMessageBox and QFileDialog.
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QSpacerItem>
#include <QMessageBox>
#include <algorithm>

namespace quenvil {
namespace {

QWidget* activeParent() { return QApplication::activeWindow(); }

void show(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, activeParent());
    // Wide enough for its caption in the title bar, which a short text would cut ("Q...vil").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(caption) + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

class MessageBoxDialogs : public Dialogs {
  public:
    void information(const QString& text) override {
        show(QMessageBox::Information, QStringLiteral("Information"), text);
    }
    void message(const QString& text) override {
        show(QMessageBox::NoIcon, QApplication::applicationName(), text);
    }
    void error(const QString& text) override {
        show(QMessageBox::Critical, QApplication::applicationName(), errorBoxText(text));
    }
    bool question(const QString& text) override {
        return QMessageBox::question(activeParent(), QApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    std::optional<QString> openFile(QWidget* parent, const QString& filter) override {
        const QString file = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
        if (file.isEmpty()) return std::nullopt;
        return file;
    }
    std::optional<SaveChoice> saveFile(QWidget* parent, const QStringList& filters,
                                       const QString& suggestedName) override {
        QString selected = filters.value(0);
        const QString file = QFileDialog::getSaveFileName(
            parent, QString(), suggestedName, filters.join(QStringLiteral(";;")), &selected,
            QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty()) return std::nullopt;
        return SaveChoice{file, std::max<int>(0, static_cast<int>(filters.indexOf(selected)))};
    }
};

Dialogs* installed = nullptr;

}  // namespace

Dialogs& Dialogs::current() {
    static MessageBoxDialogs boxes;
    return installed ? *installed : boxes;
}

void Dialogs::setCurrent(Dialogs* dialogs) { installed = dialogs; }

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + QChar('.');
    return message;
}

}  // namespace quenvil
