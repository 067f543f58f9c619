// Dialogs that record what the windows show and answer the file dialog, for window tests.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "ui/dialogs.h"

namespace quenvil::test {

class RecordingDialogs : public Dialogs {
  public:
    RecordingDialogs() { Dialogs::setCurrent(this); }
    ~RecordingDialogs() override { Dialogs::setCurrent(nullptr); }

    void information(const QString& text) override { shown << "information: " + text; }
    void message(const QString& text) override {
        shown << "message: " + text;
        if (onMessage) onMessage(text);
    }
    void error(const QString& text) override { shown << "error: " + errorBoxText(text); }
    bool question(const QString& text) override {
        shown << "question: " + text;
        if (questionAnswers.empty()) return false;
        const bool yes = questionAnswers.front();
        questionAnswers.pop_front();
        return yes;
    }
    std::optional<QString> openFile(QWidget*, const QString& filter) override {
        lastFilter = filter;
        if (answers.empty()) return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isNull()) return std::nullopt;
        return answer;
    }

    std::optional<SaveChoice> saveFile(QWidget*, const QStringList& filters,
                                       const QString& suggestedName) override {
        lastSaveFilters = filters;
        lastSuggestedName = suggestedName;
        if (saveAnswers.empty()) return std::nullopt;
        const auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }

    QStringList shown;
    QString lastFilter;
    std::deque<QString> answers;  // for openFile; a null string or none left means cancelled
    std::function<void(const QString&)> onMessage;
    QStringList lastSaveFilters;
    QString lastSuggestedName;
    std::deque<std::optional<SaveChoice>> saveAnswers;  // for saveFile; none left means cancelled
    std::deque<bool> questionAnswers;                   // for question; none left means No
};

}  // namespace quenvil::test
