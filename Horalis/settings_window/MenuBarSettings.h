#pragma once

#include "Horalis/Settings/IconColor.h"
#include "Horalis/Settings/IconStyle.h"
#include "Horalis/settings_window/StoredPreference.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;

// The Menu Bar tab: the tray icon's style, for the pill and the ring the flip direction, and
// the icon's colours.
class MenuBarSettings : public QWidget
{
    Q_OBJECT

public:
    explicit MenuBarSettings(Settings& settings, QWidget* parent = nullptr);

private:
    void showStoredValues();
    void styleChosen(QAbstractButton* button);
    void colorChosen(int index);

    StoredPreference<IconStyle>* m_iconStyle;
    StoredPreference<bool>* m_iconFlipped;
    StoredPreference<IconColor>* m_iconColor;
    QButtonGroup* m_styles;
    QCheckBox* m_flip = nullptr;
    QComboBox* m_colors = nullptr;
};
