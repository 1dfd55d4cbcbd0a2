#include "admin/weighing_verdict_view.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

const char* colourOf(zv::CheckLine::Level level) {
    switch (level) {
        case zv::CheckLine::Level::Ok:
            return "#007000";
        case zv::CheckLine::Level::Fail:
            return "#c00000";
        case zv::CheckLine::Level::Note:
            break;
    }
    return "#505050";
}

const char* nameOf(zv::CheckLine::Level level) {
    switch (level) {
        case zv::CheckLine::Level::Ok:
            return "ok";
        case zv::CheckLine::Level::Fail:
            return "fail";
        case zv::CheckLine::Level::Note:
            break;
    }
    return "note";
}

}  // namespace

WeighingVerdictView::WeighingVerdictView(QWidget* parent)
    : QWidget(parent), layout_(new QVBoxLayout(this)) {
    setObjectName("Verdict");
    layout_->setContentsMargins(0, 4, 0, 0);
    layout_->setSpacing(1);
}

void WeighingVerdictView::showCheck(const zv::WeighingCheck& check) {
    while (QLayoutItem* item = layout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    passes_ = check.passes;
    failures_.clear();
    for (const zv::CheckLine& line : check.lines) {
        const QString text = QString::fromStdString(line.text);
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        label->setProperty("level", nameOf(line.level));
        label->setStyleSheet(QString("QLabel { color: %1; %2 }")
                                 .arg(colourOf(line.level),
                                      line.level == zv::CheckLine::Level::Note ? ""
                                                                               : "font-weight: bold;"));
        layout_->addWidget(label);
        if (line.level == zv::CheckLine::Level::Fail) failures_ << text;
    }
}

QStringList WeighingVerdictView::lines() const {
    QStringList texts;
    for (const QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) texts << label->text();
    return texts;
}
