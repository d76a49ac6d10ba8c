#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "fake_env.h"
#include "profiles/catalogue.h"
#include "profiles/keymaps/keymaps.h"
#include "desktop/window_queries.h"

namespace {

// The keystroke table of each catalogue row that has one, by row number, plus the
// tables behind the two keys-and-click rows.
std::map<int, const keys::KeyMap*> RowTables() {
    std::map<int, const keys::KeyMap*> tables;
    for (int row = 1; row <= kCatalogueRows; ++row) {
        if (CatalogueRow(row).table != nullptr) tables[row] = CatalogueRow(row).table;
    }
    tables[136] = &keymaps::kRow136;
    tables[138] = &keymaps::kRow138;
    return tables;
}

using Contents = std::map<int32_t, std::vector<keys::Stroke>>;

Contents ContentsOf(const keys::KeyMap& table) {
    Contents out;
    for (size_t i = 0; i < table.count; ++i) {
        const keys::ButtonKeys& e = table.entries[i];
        out[e.button] = std::vector<keys::Stroke>(e.strokes.begin(), e.strokes.end());
    }
    return out;
}

// Rows whose handler is a plain table; the others have a function (or are row 1).
const std::set<int> kHandlerRows = {1,   6,   12,  13,  16,  30,  55,  78,  94,  97,
                                    105, 107, 109, 111, 112, 116, 122, 125, 128, 132,
                                    136, 138, 148, 149, 150};

TEST(CatalogueTables, HandlerKindsFollowTheTable) {
    for (int row = 1; row <= kCatalogueRows; ++row) {
        const AppProfile& p = CatalogueRow(row);
        const bool function = kHandlerRows.count(row) != 0;
        EXPECT_EQ(p.handler != nullptr, function) << row;
        EXPECT_EQ(p.table != nullptr, !function) << row;
    }
    EXPECT_EQ(CatalogueRow(1).handler, &CooperatingKeyHandler);
}

TEST(CatalogueTables, SharedTablesAreTheSame) {
    const std::pair<int, int> shared[] = {{21, 38}, {26, 130}, {32, 54}};
    for (const auto& [a, b] : shared) {
        EXPECT_EQ(ContentsOf(*CatalogueRow(a).table), ContentsOf(*CatalogueRow(b).table))
            << a << "/" << b;
    }
}

TEST(CatalogueTables, EveryTableIsFilledWellFormedAndItsOwn) {
    const std::set<std::pair<int, int>> shared = {{21, 38}, {26, 130}, {32, 54}};
    const auto tables = RowTables();
    EXPECT_EQ(tables.size(), 132u);
    std::vector<std::pair<Contents, int>> earlier;
    for (const auto& [row, table] : tables) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_NE(table, nullptr);
        EXPECT_GT(table->count, 0u);
        std::set<int32_t> buttons;
        for (size_t i = 0; i < table->count; ++i) {
            const keys::ButtonKeys& e = table->entries[i];
            // The dispatcher keeps power, volume, mute and the macro buttons, and no
            // handler acts on the extra codes: a mapping outside these could never fire.
            EXPECT_GE(e.button, ChannelUp) << RemoteButtonName(e.button);
            EXPECT_LE(e.button, Digit0) << RemoteButtonName(e.button);
            EXPECT_TRUE(buttons.insert(e.button).second)
                << RemoteButtonName(e.button) << " is mapped twice";
            for (const keys::Stroke& s : e.strokes) EXPECT_NE(s.vk, 0) << RemoteButtonName(e.button);
        }
        const Contents contents = ContentsOf(*table);
        for (const auto& [other, otherRow] : earlier) {
            if (other == contents) {
                EXPECT_TRUE(shared.count({otherRow, row}) != 0)
                    << "row " << row << " has the same table as row " << otherRow;
            }
        }
        earlier.emplace_back(contents, row);
    }
}

TEST(CatalogueTables, OnlyTheScanCodeRowsSendScanCodes) {
    // The rows whose programs read hardware scan codes; every other table row sends
    // plain virtual keys.
    const std::set<int> scanRows = {96, 114, 120, 123, 131, 135, 153};
    for (const auto& [row, table] : RowTables()) {
        size_t scanned = 0;
        for (size_t i = 0; i < table->count; ++i) {
            for (const keys::Stroke& s : table->entries[i].strokes) scanned += s.UsesScan() ? 1 : 0;
        }
        if (scanRows.count(row) != 0) {
            EXPECT_GT(scanned, 0u) << "row " << row << " sends no scan code";
        } else {
            EXPECT_EQ(scanned, 0u) << "row " << row << " sends scan codes";
        }
    }
}

TEST(CatalogueTables, TableRowsSendTheirTableThroughTheDispatchEntry) {
    for (const auto& [row, table] : RowTables()) {
        if (row == 136 || row == 138) continue;
        FakeEnv env;
        const keys::ButtonKeys& first = table->entries[0];
        SCOPED_TRACE("row " + std::to_string(row) + " " + RemoteButtonName(first.button));
        EXPECT_EQ(HandleCatalogueButton(row, first.button), 1);
        size_t downs = 0;
        for (const InputEvent& e : env.input.AllEvents()) {
            if ((e.flags & kKeyUp) == 0 && e.virtualKey == first.strokes.items[0].vk) ++downs;
        }
        if (first.strokes.count > 0) {
            EXPECT_GE(downs, 1u);
        } else {
            EXPECT_TRUE(env.input.batches.empty());
        }
        // A button the table leaves out is not handled and sends nothing.
        env.input.Clear();
        EXPECT_EQ(HandleCatalogueButton(row, Extra40), 0);
        EXPECT_TRUE(env.input.batches.empty());
    }
}

TEST(CatalogueTables, RowNumbersOutsideTheCatalogueHandleNothing) {
    FakeEnv env;
    EXPECT_EQ(HandleCatalogueButton(0, Play), 0);
    EXPECT_EQ(HandleCatalogueButton(156, Play), 0);
    EXPECT_EQ(HandleCatalogueButton(-1, Play), 0);
    EXPECT_TRUE(env.input.batches.empty());
}

TEST(CatalogueTables, RowOneIsTheCooperatingHandler) {
    FakeEnv env;
    env.Foreground("app.exe", "Orbiscope#03");
    ASSERT_EQ(ForegroundCatalogueRow(), 1);
    EXPECT_EQ(HandleCatalogueButton(1, Mute), 1);
    ASSERT_FALSE(env.input.batches.empty());
    EXPECT_EQ(env.input.batches[0][0].virtualKey, 0xDC);
}

}  // namespace
