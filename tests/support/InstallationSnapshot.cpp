// Databases are read through their own read-only connection, as another
// program would; a file is a database when it starts with SQLite's header.
#include "tests/support/InstallationSnapshot.h"

#include "tests/support/FileContents.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Hash(const std::string& Bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : Bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return std::to_string(Bytes.size()) + " bytes #" + std::to_string(hash);
}

// Every table's rows, each value quoted, in rowid order.
void AddTables(const std::string& File, const std::string& Key, std::map<std::string, std::string>& Items) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(File.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return;
    }
    std::vector<std::string> tables;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table' order by name", -1, &statement,
                       nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        tables.push_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    for (const std::string& table : tables) {
        std::string rows;
        const std::string sql = "select * from \"" + table + "\"";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                    const unsigned char* text = sqlite3_column_text(statement, i);
                    rows += i ? "|" : "";
                    rows += text ? reinterpret_cast<const char*>(text) : "<null>";
                }
                rows += "\n";
            }
        sqlite3_finalize(statement);
        Items[Key + " table " + table] = rows;
    }
    sqlite3_close(db);
}

} // namespace

TInstallationSnapshot::TInstallationSnapshot(const std::string& Folder) {
    for (const auto& entry : fs::recursive_directory_iterator(Folder)) {
        const std::string key = fs::relative(entry.path(), Folder).string();
        if (entry.is_directory()) {
            FItems[key] = "folder";
            continue;
        }
        const std::string bytes = ReadFileContents(entry.path().string());
        FItems[key] = Hash(bytes);
        if (bytes.compare(0, 16, std::string("SQLite format 3\0", 16)) == 0)
            AddTables(entry.path().string(), key, FItems);
    }
}

std::string TInstallationSnapshot::ChangesSince(const TInstallationSnapshot& Before) const {
    std::set<std::string> keys;
    for (const auto& items : {&Before.FItems, &FItems})
        for (const auto& [key, value] : *items)
            keys.insert(key);
    std::string changes;
    for (const std::string& key : keys) {
        const auto before = Before.FItems.find(key), now = FItems.find(key);
        const std::string was = before == Before.FItems.end() ? "<none>" : before->second;
        const std::string is = now == FItems.end() ? "<none>" : now->second;
        if (was != is) changes += key + ": " + was + " -> " + is + "\n";
    }
    return changes;
}
