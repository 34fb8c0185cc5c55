#include "Horalis/settings_window/MenuBarSettings.h"

#include "Horalis/Settings/IconColor.h"
#include "Horalis/Settings/IconStyle.h"
#include "Horalis/panel/Divider.h"
#include "Horalis/settings_window/StoredPreference.h"
#include "platform/SystemFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
IconStyle storedStyle(const StoredPreference& preference)
{
    return IconStyle::fromRawValue(preference.textValue(QStringLiteral("pill")))
        .value_or(IconStyle::pill);
}

IconColor storedColor(const StoredPreference& preference)
{
    return IconColor::fromRawValue(preference.textValue(QStringLiteral("auto")))
        .value_or(IconColor::automatic);
}
} // namespace

MenuBarSettings::MenuBarSettings(StoredPreference* iconStyle, StoredPreference* iconFlipped,
                                 StoredPreference* iconColor, QWidget* parent)
    : QWidget(parent), m_iconStyle(iconStyle), m_iconFlipped(iconFlipped), m_iconColor(iconColor),
      m_styles(new QButtonGroup(this)), m_flip(new QCheckBox(tr("Flip progress direction"), this)),
      m_colors(new QComboBox(this))
{
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(24, 16, 24, 16);
    form->setSpacing(10);

    auto* choice = new QVBoxLayout;
    choice->setSpacing(8);
    auto* heading = new QLabel(tr("Icon Style"), this);
    heading->setFont(systemFont(13, QFont::Medium));
    choice->addWidget(heading);
    auto* radios = new QWidget(this);
    radios->setAccessibleName(tr("Icon Style"));
    auto* radioColumn = new QVBoxLayout(radios);
    radioColumn->setContentsMargins(0, 0, 0, 0);
    for (IconStyle style : IconStyle::allCases()) {
        auto* radio = new QRadioButton(tr(style.label()), radios);
        m_styles->addButton(radio, static_cast<int>(style.value()));
        radioColumn->addWidget(radio);
    }
    choice->addWidget(radios);
    form->addLayout(choice);
    form->addWidget(new Divider(this));

    m_flip->setToolTip(tr("Show progress from full to empty instead of empty to full"));
    form->addWidget(m_flip);

    auto* colorRow = new QHBoxLayout;
    auto* colorLabel = new QLabel(tr("Icon Color"), this);
    colorLabel->setBuddy(m_colors);
    colorRow->addWidget(colorLabel);
    for (IconColor color : IconColor::allCases())
        m_colors->addItem(tr(color.label()));
    m_colors->setToolTip(
        tr("Automatic follows the panel: black on a light one, white on a dark one"));
    colorRow->addWidget(m_colors);
    colorRow->addStretch(1);
    form->addLayout(colorRow);
    form->addStretch(1);

    showStoredValues();
    connect(m_styles, &QButtonGroup::buttonClicked, this, &MenuBarSettings::styleChosen);
    connect(m_flip, &QCheckBox::clicked, m_iconFlipped, &StoredPreference::setBool);
    connect(m_iconStyle, &StoredPreference::changed, this, &MenuBarSettings::showStoredValues);
    connect(m_iconFlipped, &StoredPreference::changed, this, &MenuBarSettings::showStoredValues);
    connect(m_colors, &QComboBox::activated, this, &MenuBarSettings::colorChosen);
    connect(m_iconColor, &StoredPreference::changed, this, &MenuBarSettings::showStoredValues);
}

void MenuBarSettings::showStoredValues()
{
    const IconStyle style = storedStyle(*m_iconStyle);
    m_styles->button(static_cast<int>(style.value()))->setChecked(true);
    m_flip->setChecked(m_iconFlipped->boolValue(false));
    // Hiding the toggle leaves "iconFlipped" as it is.
    m_flip->setVisible(style != IconStyle::percentage);
    m_colors->setCurrentIndex(static_cast<int>(storedColor(*m_iconColor).value()));
}

void MenuBarSettings::colorChosen(int index)
{
    const IconColor chosen = IconColor::allCases()[static_cast<size_t>(index)];
    if (chosen != storedColor(*m_iconColor))
        m_iconColor->setText(chosen.rawValue());
    showStoredValues();
}

void MenuBarSettings::styleChosen(QAbstractButton* button)
{
    const IconStyle chosen = IconStyle::allCases()[static_cast<size_t>(m_styles->id(button))];
    if (chosen != storedStyle(*m_iconStyle))
        m_iconStyle->setText(chosen.rawValue());
    showStoredValues();
}
