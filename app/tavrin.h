#pragma once

// The main window of tavrin and everything it holds.
//
// How the pieces fit: the window owns every control and every calculation
// variable. Its handlers carry the names of the controls and events they serve
// and live in one .cpp file per job:
//   layout.cpp            builds the controls in their design state (geometry, fonts, colours)
//   accessibility.cpp     keyboard use (Enter, the keypad's decimal key) and the
//                         names assistive technology reads
//   tavrin.cpp            binds the handlers and writes the start texts (Form_Load)
//   languagehandlers.cpp  Option6_Click .. Option9_Click, Texte, the current language
//   modehandlers.cpp      Option1_Click .. Option5_Click
//   calculate.cpp         Command1_Click with its messages, WriteResultFile
//   housekeeping.cpp      Text1_Change .. Text3_Change, ClearFields, ResetState,
//                         the locking of fields and the mouse cursor
//   savetarget.cpp        Check1_Click: the result file, chosen in the save dialog
// The save dialog comes from tavrin_services, created the first time the
// save box is ticked. The numbers come from tavrin_calc (conversions, the five calculations, the
// staged model, the result file); every text from catalogue.h. Nothing is read
// or written at start; the window keeps no state between runs.

#include <QString>
#include <QWidget>
#include <QtGlobal>
#include <memory>

#include "language.h"
#include "stagedmodel.h"

class QCheckBox;
namespace tav {
class clsSysDialogs;
class StatusLine;
}  // namespace tav
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class tavrin : public QWidget {
    Q_OBJECT

public:
    using Language = ::tav::Language;
    using StagedState = ::tav::StagedState;

    explicit tavrin(QWidget* parent = nullptr);
    ~tavrin() override;

    // The window variables, in their declared order; all start at zero or empty.
    qint16 Checktester = 0;  // 1 once a result file has been chosen
    QString strFile;         // path of the result file
    qint16 Textleer = 0;     // latch read by ClearFields; set by modes 3, 4 and 5
    // staged.a: input of Text2, and the staged model's number of years;
    // staged.Zs, staged.c, staged.Stufen_i, staged.Stufen_Zs: the staged model's
    // running capital, count of stored rates and yearly rates and capitals.
    StagedState staged;
    double d = 0;          // input of Text3
    double Ze = 0;         // input of Text1, then the numeric result
    double erstes_i = 0;   // months of the investment-period breakdown
    double zweites_i = 0;  // days of the investment-period breakdown
    double e = 0;          // intermediate values of the calculations
    double f = 0;
    double g = 0;
    QString Jahre;  // unit words of the investment-period breakdown
    QString Tage;
    QString Monate;

    // The label of the rate of year `Nummer` + 1 in the current language;
    // empty outside 0..20.
    QString Texte(qint16 Nummer) const;

    // The language of the selected language button, tested German, English,
    // Italian, French.
    Language currentLanguage() const;

    // Handlers, bound to their controls' events by the constructor.
    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Option7_Click();
    void Option8_Click();
    void Option9_Click();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Check1_Click();
    void Command1_Click();

protected:
    void changeEvent(QEvent* event) override;

private:
    void WriteResultFile();
    void ResetState();
    void ClearFields();

    void buildControls();
    void bindHandlers();
    void setTabSequence();
    void makeAccessible();
    void pressCalculate();

    // Texts.
    void writeWindowTexts(Language language);
    void writeModeLabels(int mode, Language language, bool byLanguageButton);
    void applyLanguage();
    void showPeriod(Language language);

    // Mode handlers' shared steps.
    void setCalculateCaption();
    void chooseCalculation(int mode);
    void chooseLatchedCalculation(int mode);

    // Command1_Click's pieces.
    void runStagedPress();
    void showError(int number, const QString& description);
    void showYearsLimit();

    // Text1 and Text2 while the staged model collects rates.
    void lockFixedInputs();
    void unlockFixedInputs();
    void endStagedEntry();

    // The application-wide mouse cursor.
    static void setWaitCursor();
    static void setDefaultCursor();

    // The save dialog's service, kept from the first tick of the save box.
    std::unique_ptr<tav::clsSysDialogs> m_dialogs;

    QGroupBox* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QRadioButton* Option5 = nullptr;
    QRadioButton* Option6 = nullptr;
    QRadioButton* Option7 = nullptr;
    QRadioButton* Option8 = nullptr;
    QRadioButton* Option9 = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    tav::StatusLine* Label5 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
};
