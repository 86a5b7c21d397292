// Criteria over plain rows for the model's tests: a row is a map of field
// names to values, and a condition names its field as it is.
#pragma once

#include "dbgrid/FilterCriteria.h"

#include <map>
#include <memory>
#include <string>

namespace criteriatest {

struct TRow : TObject {
    std::map<std::string, Variant> Values;
};

class TRowItem : public TcvCriteriaItem {
public:
    using TcvCriteriaItem::TcvCriteriaItem;
    Variant GetFieldValue(TObject* Row) const override {
        const auto& values = static_cast<TRow*>(Row)->Values;
        const auto it = values.find(FieldName());
        return it == values.end() ? Null() : it->second;
    }
    std::string GetFilterFieldName() const override { return FieldName(); }
};

class TRowCriteria : public TcvCriteria {
public:
    TcvCriteriaItemClass GetItemClass() const override {
        return [](TcvCriteriaItemList* Parent) -> std::unique_ptr<TcvCriteriaItem> {
            return std::make_unique<TRowItem>(Parent);
        };
    }
};

} // namespace criteriatest
