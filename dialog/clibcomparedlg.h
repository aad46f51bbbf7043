#pragma once

#include <QByteArray>
#include <QDialog>
#include <QIcon>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare.h"
#include "compare/take_over.h"
#include "dialog/review_controls.h"
#include "dialog/status_lines.h"
#include "dialog/template_layout.h"
#include "report/messages.h"
#include "report/report.h"

class DifferenceWindow;
class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class SymbolList;
class SymbolListBox;
class SymbolTable;
struct ReadResult;

// The comparison dialog: library 1 on the left, the common symbols in the
// middle, library 2 on the right, each with its list and the four fields of
// the symbol selected there.
class ComparisonSession;
class CLibCompareDlg : public QDialog {
    Q_OBJECT

public:
    explicit CLibCompareDlg(QWidget* parent = nullptr);
    ~CLibCompareDlg() override;

    // Moves values between controls and members: controls into members when
    // `saveAndValidate`, members into controls otherwise.
    bool UpdateData(bool saveAndValidate = true);

    // Members bound to controls, in the order of the data exchange.
    QIcon m_hIcon;
    QByteArray m_strOnly1Selection;  // bytes of the selected entry of the only-in-1 list
    SymbolListBox* m_listOnly1 = nullptr;
    SymbolListBox* m_listOnly2 = nullptr;
    SymbolListBox* m_listCommon = nullptr;
    QLineEdit* m_editPath1 = nullptr;
    QString m_strPath1;
    QString m_strPath2;
    std::array<QString, 12> m_strDetail;

    // The load commands with a file given instead of chosen (the command line,
    // dropped files): the same steps and messages as the buttons. Library 1
    // says whether it was read.
    bool OpenLibrary1(const QString& path);
    void OpenLibrary2AndCompare(const QString& path);
    // Both, as two files given together: library 2 is read and compared only
    // when library 1 was read.
    void OpenBothLibraries(const QString& path1, const QString& path2);

    // The status line under the lists (the whole text, also where the line
    // shows it cut).
    void SetStatus(const QString& text);
    QString StatusText() const;

public slots:
    void accept() override;
    void done(int result) override;

protected:
    virtual void DoDataExchange(bool saveAndValidate);
    virtual bool OnInitDialog();

    // Commands and selections.
    void OnLoadLibrary1();
    void OnLoadLibrary2AndCompare();
    void OnSelChangeOnly1();
    void OnSelChangeOnly2();
    void OnSelChangeCommon();
    void OnReload();
    void OnExport();

    void OnStepToChange(int direction);
    void OnEnterInSearch();
    // Strg+Umschalt+O: what the comparison of the fields ignores.
    void OnComparisonOptions();
    // Strg+U: the window "Unterschiede", made when first asked for.
    void OnShowDifferences();
    // Strg+E there: the rows it shows, in the export's formats.
    void OnExportDifferences();
    // Takes the chosen differences into the direction's target (or, with
    // `removing`, the chosen records only in the target out of it).
    void OnTake(TakeDirection direction, bool removing);
    // Saves library `library`, at a path asked for with `choosePath`; false
    // when it was not saved.
    bool OnSave(int library, bool choosePath);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void LayOut();
    QSize MinimumDialogSize() const;
    // Fits a window larger than the screen into it, centred.
    void FitIntoScreen();
    // The filter of the search field and "Nur geänderte" on the lists.
    void ApplyFilter();
    // The line of library 1's and library 2's values of a changed common
    // symbol selected; empty for any other selection.
    void ShowChangeLine(std::int64_t slot);
    // Empties the four fields of a column (0 library 1, 1 library 2, 2 common).
    void ClearColumn(int column);
    // A detail field whose value does not fit gets it as its tooltip, beside
    // a changed field's note.
    void RefreshFieldTips();
    // A note before the counts until the selection moves or a filter
    // changes: where stepping stands, what was exported or read anew.
    void SetNote(const QString& note);
    void ClearNote();
    // Export is offered only while a comparison is shown.
    void UpdateExportAction();
    // The commands of taking over, undo, redo and saving, and the marks of
    // unsaved changes (the title's "*", the path fields' note).
    void CreateEditActions();
    QList<QAction*> EditActions(int list);
    void UpdateEditActions();
    // With `weighed`, whether the selection allows each take-over (counting
    // names through both libraries: when a menu opens).
    void UpdateTakeActions(bool weighed);
    // What a take-over command would take: the table's selected rows while
    // its window is active, the dialog's selected entry otherwise.
    struct Chosen {
        TakeSelection selection;
        std::vector<std::pair<std::int32_t, std::uint8_t>> fields;  // pairs limited to a field
        TakeStep step = TakeStep::kSeveral;
        std::string_view symbol;
        std::uint8_t field = 0;
        int count = 0;
    };
    Chosen ChosenDifferences(TakeDirection direction, bool removing) const;
    // The lists and the table after an edit, undo or redo.
    void ShowEdited();
    // Asks whether to save the unsaved changes of each of `libraries`; false
    // when the user cancelled (or saving failed): then nothing may be lost.
    bool AskToSave(std::initializer_list<int> libraries);
    // Asks where and writes `comparison` as `filter` shows it; says so,
    // with its number of `changes`.
    void Export(QWidget* parent, const Comparison& comparison, const ReportFilter& filter,
                std::uint64_t changes, const Comparison* chosenFrom = nullptr);
    // The window "Unterschiede" selects its first row of the symbol selected
    // in list `kind` at row source `source`; and the other way round.
    void ShowInDifferences(int kind, std::int64_t source);
    void SelectFromDifferences(int kind, std::int64_t index);
    void BindMessages();
    QWidget* Control(int id) const;

    // Data exchange for one binding.
    void DDX_LBString(bool save, int id, QByteArray& value);
    template <typename Wrapper>
    void DDX_Control(int id, Wrapper*& wrapper);
    void DDX_Text(bool save, int id, QString& value);

    // Says that `path` is being read, on a window that is painted first.
    void ShowReading(const QString& path);
    void ReportReadFailure(const QString& path, const ReadResult& result);
    // Empty lists and no comparison, after running out of memory.
    void ShowNoComparison();
    // Out of memory: said in the status line and a message box.
    void ReportOutOfMemory(const std::string& message);
    // Asks whether to load a file that does not look like a symbol library.
    bool ProceedWith(const QString& path, const ReadResult& read);
    bool LoadLibrary1(const std::function<QString()>& choose);
    void LoadLibrary2AndCompare(const std::function<QString()>& choose);
    // Compares, fills and marks the lists, and says so in the status line.
    // `failure`: library 2 (`failedPath`) could not be read.
    void CompareAndShow(const std::optional<ReadResult>& failure, const QString& failedPath);
    // F5: both files read anew; false when nothing changed.
    bool ReloadBoth();
    // After F5, each list selects again what it had selected (only1, only2,
    // common) and shows its fields; a column whose name is gone is cleared.
    void ShowSelectionsAgain(const std::array<std::optional<std::string>, 3>& selected);
    std::array<QLineEdit*, 3> CommonFields() const;
    // Shows the fields of the selected row's name; `slotOf` gives the table
    // slot of a row's source. Returns the slot whose fields are shown, or -1.
    std::int64_t FindAndShowDetails(SymbolListBox* list, const SymbolTable& table, int firstField,
                                    const std::function<std::int64_t(std::int64_t source)>& slotOf);
    // A path as messages show it.
    static std::string Shown(const QString& path);

    std::map<int, QWidget*> m_controls;     // by identifier, filled as they are created
    std::unique_ptr<StatusLines> m_status;  // the lines under the lists
    ReviewControls* m_review = nullptr;     // search, filter, steps
    QAction* m_exportAction = nullptr;
    QAction* m_differencesAction = nullptr;
    QAction* m_optionsAction = nullptr;
    QAction* m_takeInto2 = nullptr;
    QAction* m_takeInto1 = nullptr;
    QAction* m_removeFrom2 = nullptr;
    QAction* m_removeFrom1 = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_saveEdited = nullptr;  // Strg+S
    std::array<QAction*, 2> m_save{};
    std::array<QAction*, 2> m_saveAs{};
    QString m_caption;  // the window's title without the mark of unsaved changes
    DifferenceWindow* m_differences = nullptr;  // none until first opened
    bool m_selectingFromDifferences = false;
    int m_lastSelectedList = 0;  // 0 common, 1 only in 1, 2 only in 2
    ChangeStepper m_stepper;
    bool m_stepping = false;
    TemplateLayout m_layout;
    bool m_placedOnScreen = false;
    ComparisonSession* m_session = nullptr;  // loads, compares, holds the comparison
    QString m_lastReadPath;                  // the file of the last read, for messages
    bool m_controlsAttached = false;
};
