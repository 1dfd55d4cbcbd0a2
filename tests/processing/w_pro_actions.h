#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "processing/lookup_box.h"

// What the operator does inside a window a test holds open: find a control by its short
// name, press a button, pick a dictionary entry, type into an edit.
namespace zv::test {

template <typename W>
W* find(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline void click(QDialog& d, const char* name) {
    find<QPushButton>(d, name)->click();
}

// Picks the item with this key as the operator would.
inline void choose(QDialog& d, const char* box, const QVariant& key) {
    auto* b = find<LookupBox>(d, box);
    const int index = b->findData(key);
    ASSERT_GE(index, 0) << box;
    b->setCurrentIndex(index);
    emit b->activated(index);
}

inline void type(QDialog& d, const char* edit, const QString& text) {
    auto* e = find<QLineEdit>(d, edit);
    e->setText(text);
    emit e->textEdited(text);
}

// Load, station, client and document of a loaded wagon in the processing window.
inline void describeLoad(QDialog& d, const char* loadBox, int load) {
    choose(d, loadBox, load);
    choose(d, "LCBoxS", 1);
    choose(d, "LCBoxC", 1);
    find<QLineEdit>(d, "E3")->setText("D-123");
}

}  // namespace zv::test
