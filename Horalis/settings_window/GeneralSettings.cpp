#include "Horalis/settings_window/GeneralSettings.h"

#include "Horalis/Settings/WeekStart.h"
#include "Horalis/settings_window/AlertLine.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/desktop/SystemFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

template <typename Label> Label* secondaryLine(Label* label)
{
    label->setFont(systemFont(11));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    SemanticColors::setTextColor(*label, SemanticColors::Color::SecondaryLabel);
    return label;
}

} // namespace

GeneralSettings::GeneralSettings(Settings& settings, LaunchAtLoginConfigurer configure,
                                 QWidget* parent)
    : QWidget(parent),
      m_launchAtLogin(new StoredPreference(settings, Preferences::launchAtLogin, this)),
      m_weekStart(new StoredPreference(settings, Preferences::weekStart, this)),
      m_configure(std::move(configure)), m_toggle(new QCheckBox(tr("Launch at login"), this)),
      m_description(
          secondaryLine(new QLabel(tr("Automatically start Horalis when you log in"), this))),
      m_failure(secondaryLine(new AlertLine(this))), m_picker(new QComboBox(this))
{
    // Named after what they store, so that tests find them as a user's tools would.
    m_toggle->setObjectName(Preferences::launchAtLogin.key);
    m_failure->setObjectName(QStringLiteral("launchAtLoginFailure"));
    m_picker->setObjectName(Preferences::weekStart.key);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(24, 24, 24, 24);
    form->addWidget(m_toggle);
    form->addWidget(m_description);
    form->addWidget(m_failure);
    m_toggle->setAccessibleDescription(m_description->text());

    auto* pickerRow = new QHBoxLayout;
    pickerRow->setContentsMargins(0, 8, 0, 0);
    pickerRow->setSpacing(8);
    auto* pickerLabel = new QLabel(tr("Week starts on"), this);
    pickerLabel->setBuddy(m_picker);
    pickerRow->addWidget(pickerLabel);
    for (WeekStart day : WeekStart::allCases())
        m_picker->addItem(QString::fromLatin1(day.displayName()));
    pickerRow->addWidget(m_picker);
    pickerRow->addStretch(1);
    form->addLayout(pickerRow);
    form->addStretch(1);

    showStoredValues();
    // toggled comes from the user, by a click, a key or a screen reader's action: showing a
    // stored value keeps it quiet. activated comes from the user only.
    connect(m_toggle, &QCheckBox::toggled, this, &GeneralSettings::toggleChanged);
    connect(m_picker, &QComboBox::activated, this, &GeneralSettings::dayChosen);
    connect(m_launchAtLogin, &PreferenceWatch::changed, this, &GeneralSettings::showStoredValues);
    connect(m_weekStart, &PreferenceWatch::changed, this, &GeneralSettings::showStoredValues);
}

void GeneralSettings::showStoredValues()
{
    const QSignalBlocker quiet(m_toggle);
    m_toggle->setChecked(m_launchAtLogin->value());
    m_picker->setCurrentIndex(static_cast<int>(m_weekStart->value().value()));
}

void GeneralSettings::toggleChanged(bool enabled)
{
    const bool before = m_launchAtLogin->value();
    // A choice that cannot be stored is not made: the toggle shows the stored value again and
    // the autostart entry stays as it is, so the three never disagree.
    if (!m_launchAtLogin->set(enabled)) {
        showStoredValues();
        return;
    }
    if (before == enabled)
        return;
    // The toggle and the preference keep the user's choice even when registration fails; the
    // failure is told below the description until the next change.
    tellFailure(m_configure ? m_configure(enabled) : std::nullopt);
}

void GeneralSettings::tellFailure(const std::optional<QString>& failure)
{
    m_failure->tell(failure.value_or(QString()));
    // A screen reader tells what is below the toggle when it comes to it.
    m_toggle->setAccessibleDescription(failure.value_or(m_description->text()));
}

void GeneralSettings::dayChosen(int index)
{
    const WeekStart day = WeekStart::allCases()[static_cast<size_t>(index)];
    if (day != m_weekStart->value())
        m_weekStart->set(day);
    showStoredValues();
}
