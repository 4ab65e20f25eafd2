#pragma once

#include "TessoryModel.h"

#include "TimeGrid/GridControl.h"

namespace Tessory {

// The button grid control: lines (rows) with sequences of days on a time
// grid. The container fills it through _DTessory and hears clicks through
// _DTessoryEvents; the state lives here so that it outlasts the window.
class CTessoryCtrl : public TimeGrid::GridControl
{
public:
    CTessoryCtrl();
    ~CTessoryCtrl() override;

    const TessoryModel &Model() const { return m_model; }
    int MinLineHeaderWidth() const { return m_minLineHeaderWidth; }
    int MaxLineHeaderWidth() const { return m_maxLineHeaderWidth; }

    // A left click on a day cell of a line, from the window.
    void OnDayClicked(int lineIndex, const QDate &day);

protected:
    QWidget *CreateWidget(QWidget *parent) override;

private:
    void AddLineMembers();
    void AddSequenceMembers();
    void AddViewMembers();

    // The line and sequence a member addresses; null when absent.
    Line *FindLine(const QString &lineId);
    Sequence *FindSequence(
        const QString &lineId, const QString &sequenceId, int index, Line **line = nullptr);
    // The line a click started on, found again after an event handler ran.
    Line *LineAfterEvent(int lineIndex, const QString &lineId);
    // Steps of a click on a day inside a sequence or beyond the current one:
    // reports the day, then selects or clears it.
    void SelectInSequence(const Line &clicked, int lineIndex, int sequenceIndex, const QDate &day);

    TessoryModel m_model;
    int m_minLineHeaderWidth = 100;
    int m_maxLineHeaderWidth = 300;
};

} // namespace Tessory
