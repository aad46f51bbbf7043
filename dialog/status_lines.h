#pragma once

#include <QString>
#include <functional>

#include "dialog/change_line.h"

class DialogUnits;
class QLabel;
class QWidget;
class TemplateLayout;

// The two lines in the free strip left of "Schließen": the status line (what
// the lists show, with a note before it), and the line of values of a changed
// common symbol selected. What does not fit ends in "…"; the whole text is
// the tooltip and what a screen reader reads.
class StatusLines {
public:
    // `filtered` gives the counts of what a filter shows, and nothing while
    // no filter is set: they then stand in for the counts.
    StatusLines(QWidget* dialog, const DialogUnits& units, TemplateLayout& layout,
                std::function<QString()> filtered);

    // What the last command left; the note goes.
    void SetStatus(const QString& text);
    // Before the counts until the selection moves or a filter changes: where
    // stepping stands, what was exported or read anew.
    void SetNote(const QString& note);
    // False when there was no note.
    bool ClearNote();
    // The counts (and the filter's) anew.
    void Refresh();
    // The whole status line.
    QString Text() const;

    // The line of values; none for `pieces` empty. `spoken` is what a screen
    // reader reads.
    void ShowChange(const LinePieces& pieces, const QString& spoken);
    // Both lines fitted to their width anew.
    void Fit();

private:
    QLabel* status_ = nullptr;
    QLabel* change_ = nullptr;
    std::function<QString()> filtered_;
    QString counts_;     // the counts line as the last command left it
    QString note_;       // shown before the counts
    LinePieces pieces_;  // the line of values, as shown
};
