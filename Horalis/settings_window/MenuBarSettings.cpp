#include "Horalis/settings_window/MenuBarSettings.h"

#include "Horalis/panel/Divider.h"
#include "platform/desktop/SystemFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

MenuBarSettings::MenuBarSettings(Settings& settings, QWidget* parent)
    : QWidget(parent), m_iconStyle(new StoredPreference(settings, Preferences::iconStyle, this)),
      m_iconFlipped(new StoredPreference(settings, Preferences::iconFlipped, this)),
      m_iconColor(new StoredPreference(settings, Preferences::iconColor, this)),
      m_styles(new QButtonGroup(this))
{
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(24, 24, 24, 24);
    form->setSpacing(16);

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
        auto* radio = new QRadioButton(tr(style.displayName()), radios);
        m_styles->addButton(radio, static_cast<int>(style.value()));
        radioColumn->addWidget(radio);
    }
    // Made in screen order, which Tab follows.
    m_flip = new QCheckBox(tr("Flip progress direction"), this);
    m_colors = new QComboBox(this);
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
        m_colors->addItem(tr(color.displayName()));
    // Named after what they store, so that tests find them as a user's tools would.
    m_styles->setObjectName(Preferences::iconStyle.key);
    m_flip->setObjectName(Preferences::iconFlipped.key);
    m_colors->setObjectName(Preferences::iconColor.key);
    m_colors->setToolTip(
        tr("Automatic follows the panel: black on a light one, white on a dark one"));
    colorRow->addWidget(m_colors);
    colorRow->addStretch(1);
    form->addLayout(colorRow);
    form->addStretch(1);

    showStoredValues();
    // From the user, by a click, a key or a screen reader's action: showing a stored value
    // keeps the buttons quiet.
    connect(m_styles, &QButtonGroup::buttonToggled, this,
            [this](QAbstractButton* button, bool checked) {
                if (checked)
                    styleChosen(button);
            });
    connect(m_flip, &QCheckBox::toggled, this, [this](bool flipped) {
        m_iconFlipped->set(flipped);
        showStoredValues();
    });
    connect(m_iconStyle, &PreferenceWatch::changed, this, &MenuBarSettings::showStoredValues);
    connect(m_iconFlipped, &PreferenceWatch::changed, this, &MenuBarSettings::showStoredValues);
    connect(m_colors, &QComboBox::activated, this, &MenuBarSettings::colorChosen);
    connect(m_iconColor, &PreferenceWatch::changed, this, &MenuBarSettings::showStoredValues);
}

void MenuBarSettings::showStoredValues()
{
    const IconStyle style = m_iconStyle->value();
    {
        // The group tells of its radio buttons' changes itself.
        const QSignalBlocker quietStyles(m_styles);
        const QSignalBlocker quietFlip(m_flip);
        m_styles->button(static_cast<int>(style.value()))->setChecked(true);
        m_flip->setChecked(m_iconFlipped->value());
    }
    // Hiding the toggle leaves "iconFlipped" as it is.
    m_flip->setVisible(style != IconStyle::percentage);
    m_colors->setCurrentIndex(static_cast<int>(m_iconColor->value().value()));
}

void MenuBarSettings::colorChosen(int index)
{
    const IconColor chosen = IconColor::allCases()[static_cast<size_t>(index)];
    if (chosen != m_iconColor->value())
        m_iconColor->set(chosen);
    showStoredValues();
}

void MenuBarSettings::styleChosen(QAbstractButton* button)
{
    const IconStyle chosen = IconStyle::allCases()[static_cast<size_t>(m_styles->id(button))];
    if (chosen != m_iconStyle->value())
        m_iconStyle->set(chosen);
    showStoredValues();
}
