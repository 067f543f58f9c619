// What the tests of the 名字推荐 window share: the shipped naming data, the names it recommends,
// the window's controls found by their object names, typing as key events, and a window shown
// and active for the keyboard flows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "app/startup.h"
#include "data/connection.h"
#include "data/data_location.h"
#include "data/database.h"
#include "data/shortlist.h"
#include "data/user_database.h"
#include "naming/name_cutter.h"
#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "recommend/name_export.h"
#include "recommend/reading_text.h"
#include "recommend/recommend_window.h"
#include "recommend/result_model.h"
#include "support/fixture_db.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"
#include "support/test_dialogs.h"
#include "support/wait.h"
#include "support/widgets.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil::recommend_test {

inline const NamingData& shipped() { return test::shippedNamingData(); }

// The line quenvil-cli prints for a name, without its line break.
inline std::string lineOf(const ScoredName& s) { return test::lineOf(shipped(), s); }

inline std::vector<ScoredName> scoredNames(const std::vector<std::string>& names) {
    std::vector<ScoredName> out;
    for (const std::string& n : names) {
        out.emplace_back();
        EXPECT_TRUE(scoreName(shipped(), n, out.back())) << n;
    }
    return out;
}

inline std::vector<ScoredName> recommended(const std::string& surname,
                                           Gender gender = Gender::Any) {
    RecommendOptions o;
    o.gender = gender;
    o.top = 0;  // the window lists every favourable name
    return recommend(shipped(), surname, o);
}

inline QString q(const std::string& s) { return QString::fromStdString(s); }

// "罗 不限 双名：17,391 个名字": the status of a recommendation of every favourable name.
inline std::string grouped(size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}
inline std::string statusOf(const std::string& choices, size_t count) {
    return choices + "：" + grouped(count) + " 个名字";
}

// Types text into a widget as key events: ASCII as its keys, other characters as a key event
// that carries the character, as a keyboard layout or xdotool delivers it.
inline void typeInto(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, ch.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

// The window's controls.
inline QComboBox* surnameBox(RecommendWindow& w) {
    return test::child<QComboBox>(&w, "surnameBox");
}
inline QComboBox* genderBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "genderBox"); }
inline QComboBox* lengthBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "lengthBox"); }
inline QLineEdit* fixedEdit(RecommendWindow& w) { return test::child<QLineEdit>(&w, "fixedEdit"); }
inline QComboBox* fixedAtBox(RecommendWindow& w) {
    return test::child<QComboBox>(&w, "fixedAtBox");
}
inline QTableView* table(RecommendWindow& w) { return test::child<QTableView>(&w, "table"); }
inline QPlainTextEdit* details(RecommendWindow& w) {
    return test::child<QPlainTextEdit>(&w, "details");
}
inline QPushButton* button(RecommendWindow& w, const char* name) {
    return test::child<QPushButton>(&w, name);
}
inline QProgressDialog* progressDialog(RecommendWindow& w) {
    return test::child<QProgressDialog>(&w, "progressDialog");
}

// A 名字推荐 window with five surnames to choose from, shown and active, with the keyboard's
// focus where a user's typing would go; dialogs are recorded instead of shown.
class RecommendWindowFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        w = std::make_unique<RecommendWindow>(
            shipped(), std::vector<std::string>{"罗", "黄", "曾", "欧阳", "诸葛"});
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    static void type(const QString& text) { typeInto(focused(), text); }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(focused(), k, m);
    }
    // Tabs forward until the widget has the focus.
    void tabTo(QWidget* target) {
        for (int i = 0; i < 20 && focused() != target; ++i) key(Qt::Key_Tab);
        ASSERT_EQ(focused(), target);
    }
    // Every row the table shows, the view fetching them all first.
    int shownCount() {
        while (w->proxy()->canFetchMore({})) w->proxy()->fetchMore({});
        return w->proxy()->rowCount();
    }
    std::vector<std::string> shownNames() {
        shownCount();
        std::vector<std::string> out;
        for (int r = 0; r < w->proxy()->rowCount(); ++r) {
            out.push_back(w->proxy()->index(r, 0).data().toString().toStdString());
        }
        return out;
    }
    // The given-name characters of the names shown, with the kinds of the curated list.
    std::set<char> kindsShown() {
        std::map<std::string, char> kind;
        for (const NameChar& c : shipped().nameChars()) kind[c.text] = c.kind;
        std::set<char> kinds;
        for (const std::string& name : shownNames()) {
            const auto chars = utf8Characters(name);
            for (size_t i = 1; i < chars.size(); ++i) kinds.insert(kind[std::string(chars[i])]);
        }
        return kinds;
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    std::unique_ptr<RecommendWindow> w;
};

}  // namespace quenvil::recommend_test
