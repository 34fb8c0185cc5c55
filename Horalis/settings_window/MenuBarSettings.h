#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class StoredPreference;

// The Menu Bar tab: the tray icon's style, and for the pill and the ring the flip direction.
class MenuBarSettings : public QWidget
{
    Q_OBJECT

public:
    MenuBarSettings(StoredPreference* iconStyle, StoredPreference* iconFlipped,
                    QWidget* parent = nullptr);

    QButtonGroup* styleGroup() const { return m_styles; }
    QCheckBox* flipToggle() const { return m_flip; }

private:
    void showStoredValues();
    void styleChosen(QAbstractButton* button);

    StoredPreference* m_iconStyle;
    StoredPreference* m_iconFlipped;
    QButtonGroup* m_styles;
    QCheckBox* m_flip;
};
