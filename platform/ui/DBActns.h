// The standard dataset actions. Each one is enabled by the state of the
// dataset of its DataSource, kept up to date through a data link, and runs
// the dataset's own operation unless OnExecute is set.
#pragma once

#include "platform/ui/ActnList.h"

#include <memory>

class TDataSource;
class TDataSet;
class TDataSetActionLink;

class TDataSetAction : public TAction {
public:
    explicit TDataSetAction(TComponent* AOwner);
    ~TDataSetAction() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;

    // Without a data source the action runs on the data source of the
    // focused control (any data source with a dataset is a target).
    bool Execute() override;
    bool Update() override;
    bool HandlesTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;

protected:
    // Whether the action may run in the dataset's present state.
    virtual bool CanRun(TDataSet* DataSet) const = 0;
    virtual void Run(TDataSet* DataSet) = 0;

private:
    std::unique_ptr<TDataSetActionLink> FLink;
};

class TDataSetInsert : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};

class TDataSetDelete : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};

class TDataSetEdit : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};

class TDataSetPost : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};

class TDataSetCancel : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};

class TDataSetRefresh : public TDataSetAction {
public:
    using TDataSetAction::TDataSetAction;

protected:
    bool CanRun(TDataSet* DataSet) const override;
    void Run(TDataSet* DataSet) override;
};
