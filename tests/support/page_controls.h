#pragma once
// Reaching a page's controls the way tests of every page do: by object name, selectors by item
// data, and the simulator's logged arguments as numbers.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QWidget>

namespace halvard::test {

// The entries of a selector as "label=data" texts (data in hex).
QStringList EntriesOf(const QComboBox* box);

// The integer arguments of a logged call after the device handle.
QList<qint64> IntArgsOf(const QJsonObject& call);

// A page's control by object name (a test failure when there is none).
template <typename T = QWidget>
T* ControlOf(const QWidget* page, const char* name) {
    T* w = page->template findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Picks the entry of a page's selector whose item data is `data`, as a user's choice does.
void PickOn(const QWidget* page, const char* name, int data);

}  // namespace halvard::test
