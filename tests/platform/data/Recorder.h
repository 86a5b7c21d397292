// Records what a dataset, a data source and a data link report, as one list
// of names in the order they happened, for tests that compare it with a
// declared sequence.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/data/DB.h"

using TEventLog = std::vector<std::string>;

class TRecordingLink : public TDataLink {
public:
    explicit TRecordingLink(TEventLog& Log) : FLog(Log) {}
    // Runs inside UpdateData (an editor writing its text into a field).
    std::function<void()> OnUpdateData;

protected:
    void ActiveChanged() override { FLog.push_back("link.ActiveChanged"); }
    void DataSetChanged() override { FLog.push_back("link.DataSetChanged"); }
    void DataSetScrolled(Integer Distance) override {
        FLog.push_back("link.DataSetScrolled(" + std::to_string(Distance) + ")");
    }
    void RecordChanged(TField* Field) override {
        FLog.push_back("link.RecordChanged(" + (Field ? Field->FieldName() : std::string("nil")) + ")");
    }
    void UpdateData() override {
        FLog.push_back("link.UpdateData");
        if (OnUpdateData) OnUpdateData();
    }
    void LayoutChanged() override { FLog.push_back("link.LayoutChanged"); }
    void EditingChanged() override { FLog.push_back("link.EditingChanged"); }

private:
    TEventLog& FLog;
};

// Hooks every dataset event and the data source's events into Log.
inline void RecordDataSetEvents(TDataSet* DataSet, TDataSource* Source, TEventLog& Log) {
    auto hook = [&Log](const char* Name) { return [&Log, Name](TDataSet*) { Log.push_back(Name); }; };
    DataSet->BeforeOpen = hook("BeforeOpen");
    DataSet->AfterOpen = hook("AfterOpen");
    DataSet->BeforeClose = hook("BeforeClose");
    DataSet->AfterClose = hook("AfterClose");
    DataSet->BeforeInsert = hook("BeforeInsert");
    DataSet->AfterInsert = hook("AfterInsert");
    DataSet->BeforeEdit = hook("BeforeEdit");
    DataSet->AfterEdit = hook("AfterEdit");
    DataSet->BeforePost = hook("BeforePost");
    DataSet->AfterPost = hook("AfterPost");
    DataSet->BeforeCancel = hook("BeforeCancel");
    DataSet->AfterCancel = hook("AfterCancel");
    DataSet->BeforeDelete = hook("BeforeDelete");
    DataSet->AfterDelete = hook("AfterDelete");
    DataSet->BeforeScroll = hook("BeforeScroll");
    DataSet->AfterScroll = hook("AfterScroll");
    DataSet->OnNewRecord = hook("OnNewRecord");
    Source->OnStateChange = [&Log](TObject*) { Log.push_back("OnStateChange"); };
    Source->OnDataChange = [&Log](TObject*, TField* Field) {
        Log.push_back(Field ? "OnDataChange(" + Field->FieldName() + ")" : std::string("OnDataChange"));
    };
}
