#include "stage/ui/MotionPanel.h"

#include "controls/FlatSlider.h"
#include "document/Document.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "stage/ui/GuideLineDialog.h"

#include <QPainter>
#include <QPushButton>

namespace {

const QColor kBackground(190, 190, 190);
constexpr int kRow = 15;
constexpr int kSliderLeft = 130;
constexpr int kSliderRight = 250;

bool isScale(int command) {
    return command == MotionPanelModel::kStartScale || command == MotionPanelModel::kEndScale;
}

} // namespace

MotionPanel::MotionPanel(Document& document, MessageTarget* target, MessageSink& sink,
                         const LanguageTable& texts, QWidget* parent)
    : QWidget(parent), m_document(document), m_target(target), m_sink(sink), m_texts(texts),
      m_model(document, target, texts), m_liner(new QPushButton(tr("Liner Motion"), this)),
      m_guideLine(new QPushButton(tr("Guide Line Motion"), this)),
      m_dialogButton(new QPushButton(tr("Draw Guide Line..."), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        auto* slider = new FlatSlider(sliders[i].maximum, this);
        const int command = sliders[i].command;
        connect(slider, &FlatSlider::moved, this, [this, command](int position) {
            m_model.sliderMoved(command, position);
            update(); // the scale read-outs
        });
        m_sliders[i] = slider;
    }
    for (QPushButton* toggle : {m_liner, m_guideLine}) {
        toggle->setCheckable(true);
        // The chosen motion stands out clearly on the grey panel.
        toggle->setStyleSheet(QStringLiteral(
            "QPushButton { background: #f3f5f8; border: 1px solid #8c95a0; border-radius: 3px; }"
            "QPushButton:checked { background: #2d7ff9; color: white; border-color: #1f5fc0; }"));
    }
    connect(m_liner, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kLinerToggle);
        layoutControls();
    });
    connect(m_guideLine, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kGuideLineToggle);
        layoutControls();
    });
    connect(m_dialogButton, &QPushButton::clicked, this, &MotionPanel::openGuideLineDialog);
    layoutControls();
}

FlatSlider* MotionPanel::slider(int command) const {
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        if (sliders[i].command == command)
            return m_sliders[i];
    return nullptr;
}

QPushButton* MotionPanel::toggle(int command) const {
    return command == MotionPanelModel::kLinerToggle ? m_liner : m_guideLine;
}

void MotionPanel::load() {
    m_model.load();
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        m_sliders[i]->setPosition(m_model.position(sliders[i].command));
    layoutControls();
}

void MotionPanel::layoutControls() {
    const int y0 = MotionPanelModel::firstRowTop(height());
    const bool toggles = m_model.togglesShown();
    m_liner->setGeometry(10, y0, 100, 20);
    m_guideLine->setGeometry(130, y0, 130, 20);
    m_liner->setVisible(toggles);
    m_guideLine->setVisible(toggles);
    m_liner->setChecked(m_model.mode() == 1);
    m_guideLine->setChecked(m_model.mode() == 2);
    for (FlatSlider* slider : m_sliders)
        slider->hide();
    const std::vector<int> shown = m_model.visibleSliders();
    int row = 0;
    for (int index : shown) {
        m_sliders[std::size_t(index)]->setGeometry(kSliderLeft, y0 + 25 + row * kRow,
                                                   kSliderRight - kSliderLeft, 11);
        m_sliders[std::size_t(index)]->show();
        ++row;
    }
    m_dialogButton->setVisible(m_model.guideLineButtonShown());
    m_dialogButton->setGeometry(kSliderLeft, y0 + 25 + row * kRow + 4, 130, 22);
    update();
}

void MotionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const int y0 = MotionPanelModel::firstRowTop(height());
    const auto& sliders = MotionPanelModel::sliders();
    int row = 0;
    painter.setPen(Qt::black);
    for (int index : m_model.visibleSliders()) {
        const int top = y0 + 25 + row * kRow - 2;
        painter.drawText(QRect(15, top, kSliderLeft - 18, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf8(m_model.label(index).c_str()));
        const int command = sliders[std::size_t(index)].command;
        if (isScale(command))
            painter.drawText(QRect(kSliderRight + 4, top, 40, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                             QString::fromStdString(MotionPanelModel::scaleText(
                                 m_sliders[std::size_t(index)]->position())));
        ++row;
    }
}

void MotionPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

void MotionPanel::openGuideLineDialog() {
    if (!m_model.prepareGuideLineDialog()) {
        m_sink.show("No animation object on the timeline.", m_texts.text(kTextProductName),
                    MessageIcon::Information);
        return;
    }
    layoutControls();
    GuideLineDialog dialog(m_document, m_model.selectedObject(), m_target, window());
    dialog.exec();
}
