// "Bus-Lauscher – Befunde": the findings in a list, newest last, with their
// time, severity, kind, message and text. Choosing one shows its message in
// the history and the layout as it was then.
#pragma once

#include "loconet/findings.h"

#include <QAbstractTableModel>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace bl {

class FindingsModel : public QAbstractTableModel {
public:
    enum Column { kTime, kSeverity, kKind, kNr, kText, kColumns };
    explicit FindingsModel(const loconet::Findings &findings) : findings_(findings) {}

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Takes the findings made since the last call.
    void refresh();
    const loconet::Finding &finding(int row) const;

private:
    const loconet::Findings &findings_;
    // what the rows show: the findings kept, and those dropped before, when
    // last refreshed
    std::size_t shown_rows_ = 0;
    std::uint64_t shown_dropped_ = 0;
};

class FindingsWindow : public QWidget {
public:
    static constexpr int kRefreshMs = 500;

    FindingsWindow(const loconet::Findings &findings, QWidget *parent = nullptr);

    void refresh();
    // A finding chosen: the number of its message.
    void on_chosen(std::function<void(std::uint64_t nr)> handler) { chosen_ = std::move(handler); }
    FindingsModel &model() { return model_; }

    QLabel *note;
    QTableView *table;

private:
    const loconet::Findings &findings_;
    FindingsModel model_;
    QTimer tick_;
    std::function<void(std::uint64_t)> chosen_;
};

} // namespace bl
