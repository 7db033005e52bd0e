#include "browser_fixture.h"

namespace {

using client::sql::Category;

class CategoryLoader : public client_test::BrowserFixture {
 protected:
  int load(Category category) {
    return client::category_loader().load(category, connection(), screens_);
  }
  std::vector<std::string> row(int r) {
    std::vector<std::string> cells;
    for (int c = 1; c <= 5; ++c) cells.push_back(list_.get_cell_text(r, c));
    return cells;
  }
};

TEST_F(CategoryLoader, SendsTheCountAndFiveListStatementsAndListsNewestFirst) {
  struct Case {
    Category category;
    const char* table;
  } cases[] = {{Category::featured, "精品资源"},
               {Category::source_code, "编程源码"},
               {Category::software_tools, "软件辅助"},
               {Category::offers, "活动线报"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    forget_statements();
    const std::string table = c.table;
    const int count = load(c.category);
    const std::string list_statement = "SELECT * from " + table + " ORDER BY 更新时间 DESC";
    EXPECT_EQ(statements(), (std::vector<std::string>{"SELECT COUNT(*) FROM " + table, list_statement,
                                                      list_statement, list_statement, list_statement,
                                                      list_statement}));
    EXPECT_EQ(count, std::stoi(db_.value("SELECT COUNT(*) FROM " + table)));
    ASSERT_EQ(list_.row_count(), count);
    const std::string newest = "SELECT CONCAT_WS('|', ID, 标题, DATE_FORMAT(更新时间, '%Y-%m-%d %H:%i:%s'), 说明, 地址) FROM " +
                               table + " ORDER BY 更新时间 ";
    const auto joined = [](const std::vector<std::string>& cells) {
      return cells[0] + "|" + cells[1] + "|" + cells[2] + "|" + cells[3] + "|" + cells[4];
    };
    EXPECT_EQ(joined(row(1)), db_.value(newest + "DESC LIMIT 1"));
    EXPECT_EQ(joined(row(count)), db_.value(newest + "ASC LIMIT 1"));
  }
}

TEST_F(CategoryLoader, OrdersByUpdateTimeAndKeepsTheAddressInTheHiddenColumn) {
  ASSERT_TRUE(db_.run("DELETE FROM 编程源码;\n"
                      "INSERT INTO 编程源码 (ID, 标题, 更新时间, 说明, 地址) VALUES "
                      "('old', '旧', '2018-09-20 10:00:00', '', 'http://a.example/old'),"
                      "('new', '新', '2018-09-21 10:00:00', '', 'http://a.example/new');\n"));
  EXPECT_EQ(load(Category::source_code), 2);
  EXPECT_EQ(row(1), (std::vector<std::string>{"new", "新", "2018-09-21 10:00:00", "", "http://a.example/new"}));
  EXPECT_EQ(row(2)[4], "http://a.example/old");
  EXPECT_EQ(list_.column_width(5), 0);
}

TEST_F(CategoryLoader, AnEmptyTableGivesAnEmptyList) {
  load(Category::offers);
  ASSERT_TRUE(db_.run("DELETE FROM 精品资源;\n"));
  EXPECT_EQ(load(Category::featured), 0);
  EXPECT_EQ(list_.row_count(), 0);
}

TEST_F(CategoryLoader, SwitchesBackFromTheMemberScreen) {
  client::show_member_screen(screens_);
  EXPECT_EQ(list_.visible(), 0);
  load(Category::featured);
  EXPECT_EQ(list_.visible(), 1);
  EXPECT_EQ(screens_.hint_line->visible(), 1);
  for (dui::Ex_Control* control : screens_.member_panel) EXPECT_EQ(control->visible(), 0);
}

TEST_F(CategoryLoader, ARefusedLoadLeavesTheListEmptyInsteadOfRepeatingTheLastCategory) {
  ASSERT_GT(load(Category::source_code), 0);
  ASSERT_TRUE(db_.run("DROP TABLE 活动线报;\n"));
  EXPECT_EQ(load(Category::offers), 0);
  EXPECT_EQ(list_.row_count(), 0);
}

// A click arriving while a load runs (through a nested message loop) waits for it: the two
// loads' statements do not interleave and the list ends with the later category.
TEST_F(CategoryLoader, ALoadAskedForDuringALoadFollowsIt) {
  bool asked = false;
  client::db_set_statement_observer([&](const client::Connection*, std::string_view text, bool) {
    statements_.emplace_back(text);
    if (!asked && text.find("ORDER BY") != std::string_view::npos) {
      asked = true;
      EXPECT_EQ(load(Category::offers), 0);
    }
  });
  load(Category::featured);
  const std::vector<std::string> sent = statements();
  ASSERT_EQ(sent.size(), 12u);
  EXPECT_EQ(sent[5], "SELECT * from 精品资源 ORDER BY 更新时间 DESC");
  EXPECT_EQ(sent[6], "SELECT COUNT(*) FROM 活动线报");
  EXPECT_EQ(list_.row_count(), std::stoi(db_.value("SELECT COUNT(*) FROM 活动线报")));
  EXPECT_EQ(list_.get_cell_text(1, 2), db_.value("SELECT 标题 FROM 活动线报 ORDER BY 更新时间 DESC LIMIT 1"));
}

TEST_F(CategoryLoader, WithoutAConnectionTheListStaysEmpty) {
  EXPECT_EQ(client::category_loader().load(Category::featured, nullptr, screens_), 0);
  EXPECT_EQ(list_.row_count(), 0);
}

}  // namespace
