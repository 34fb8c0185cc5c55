#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class StoredPreference;

// The Menu Bar tab: the tray icon's style, for the pill and the ring the flip direction, and
// the icon's colours.
class MenuBarSettings : public QWidget
{
    Q_OBJECT

public:
    MenuBarSettings(StoredPreference* iconStyle, StoredPreference* iconFlipped,
                    StoredPreference* iconColor, QWidget* parent = nullptr);

    QButtonGroup* styleGroup() const { return m_styles; }
    QCheckBox* flipToggle() const { return m_flip; }
    QComboBox* colorChoice() const { return m_colors; }

private:
    void showStoredValues();
    void styleChosen(QAbstractButton* button);
    void colorChosen(int index);

    StoredPreference* m_iconStyle;
    StoredPreference* m_iconFlipped;
    StoredPreference* m_iconColor;
    QButtonGroup* m_styles;
    QCheckBox* m_flip;
    QComboBox* m_colors;
};
