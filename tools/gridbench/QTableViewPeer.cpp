// Qt's side of gridbench: a QTableView over a QSqlQueryModel as a Qt
// programmer would drive it: every row fetched before the model is shown,
// fixed row heights, paging by the scroll bar's page step, sorting through a
// QSortFilterProxyModel, and the selection read through selectedRows.
#include "QTableViewPeer.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>

#include <stdexcept>

namespace {

constexpr char ConnectionName[] = "gridbench";

// The process's Qt application: the platform's when it made one, else ours.
void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "gridbench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // kept for the life of the process, as the platform keeps its own
}

QSqlDatabase OpenDatabase(const std::string& DatabaseFile) {
    if (QSqlDatabase::contains(ConnectionName)) return QSqlDatabase::database(ConnectionName);
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
    database.setDatabaseName(QString::fromStdString(DatabaseFile));
    if (!database.open()) throw std::runtime_error(database.lastError().text().toStdString());
    return database;
}

} // namespace

TPeerFigures RunTableViewPeer(const std::string& DatabaseFile, const std::string& Sql, bool PageThrough) {
    EnsureApplication();
    QSqlDatabase database = OpenDatabase(DatabaseFile);
    QSqlQueryModel model;
    QTableView view;
    view.resize(BenchClientWidth, BenchClientHeight);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    TPeerFigures figures;
    figures.OpenMs = Milliseconds([&] {
        model.setQuery(QString::fromStdString(Sql), database);
        while (model.canFetchMore())
            model.fetchMore();
        view.setModel(&model);
        view.show();
        QApplication::processEvents(); // the view lays out its scroll bars there
        view.repaint();
    });
    if (model.lastError().isValid()) throw std::runtime_error(model.lastError().text().toStdString());

    QScrollBar* bar = view.verticalScrollBar();
    if (PageThrough)
        figures.ScrollMs = Milliseconds([&] {
            while (bar->value() < bar->maximum()) {
                bar->setValue(bar->value() + bar->pageStep());
                view.viewport()->repaint();
                ++figures.Pages;
            }
        });

    const int id = model.record().indexOf(QStringLiteral("id"));
    figures.SelectAllMs = Milliseconds([&] {
        view.selectAll();
        for (const QModelIndex& row : view.selectionModel()->selectedRows(id))
            figures.IdSum += row.data().toLongLong();
    });

    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    view.setModel(&proxy);
    view.viewport()->repaint();
    const int name = model.record().indexOf(QStringLiteral("name"));
    figures.SortMs = Milliseconds([&] {
        proxy.sort(name, Qt::AscendingOrder);
        view.viewport()->repaint();
    });
    return figures;
}
