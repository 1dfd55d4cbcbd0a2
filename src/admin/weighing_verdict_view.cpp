#include "admin/weighing_verdict_view.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

struct LevelLook {
    const char* name;  // the label's "level" property
    const char* colour;
    const char* weight;
};

LevelLook lookOf(zv::CheckLine::Level level) {
    switch (level) {
        case zv::CheckLine::Level::Ok:
            return {"ok", "#007000", "font-weight: bold;"};
        case zv::CheckLine::Level::Fail:
            return {"fail", "#c00000", "font-weight: bold;"};
        case zv::CheckLine::Level::Note:
            break;
    }
    return {"note", "#505050", ""};
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
        const LevelLook look = lookOf(line.level);
        label->setProperty("level", look.name);
        label->setStyleSheet(QString("QLabel { color: %1; %2 }").arg(look.colour, look.weight));
        layout_->addWidget(label);
        if (line.level == zv::CheckLine::Level::Fail) failures_ << text;
    }
}

QStringList WeighingVerdictView::lines() const {
    QStringList texts;
    for (const QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        texts << label->text();
    return texts;
}
