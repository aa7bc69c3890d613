#pragma once

#include <QDialog>
#include <QString>

class AppContext;
class QLineEdit;

// The alias dialog of the device list: the phone's IMEI (read only) and its alias (at most 39
// characters), OK and Cancel. OK gives the alias typed, or the alias passed in when the field
// was left empty; Cancel gives nothing.
class IMEIAliasDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxAliasLength = 39;

    IMEIAliasDialog(const AppContext& app, const QString& imei, const QString& alias,
                    QWidget* parent);

    // After OK: the alias to keep.
    QString alias() const { return alias_; }

    QLineEdit* imeiField() const { return imei_; }
    QLineEdit* aliasField() const { return aliasField_; }

    void accept() override;

    // The alias OK keeps: the typed text without the blanks around it, cut to 39 UTF-16 units
    // (never inside a character made of two), or the previous alias when nothing is left.
    static QString resultAlias(const QString& typed, const QString& previous);

private:
    QLineEdit* imei_;
    QLineEdit* aliasField_;
    QString alias_;
};
