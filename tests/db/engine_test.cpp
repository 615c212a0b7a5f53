// Engines and sessions.
#include "core/object.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

using DbEngineTest = DbTest;

std::vector<std::string> engineNames(bool all) {
  std::vector<std::string> out;
  Value list = DbeList(all);
  for (auto& e : list.array()->items()) out.push_back(e.array()->at(1).str());
  return out;
}

TEST_F(DbEngineTest, StartUpSequenceLoadsFourAndBuildsTheComposite) {
  EXPECT_TRUE(DbeLoad("DBFDBE", true));
  EXPECT_TRUE(DbeLoad("NTXDBE", true));
  EXPECT_TRUE(DbeLoad("DELDBE", false));
  EXPECT_TRUE(DbeLoad("SDFDBE", false));
  EXPECT_TRUE(DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  EXPECT_EQ(engineNames(true), (std::vector<std::string>{"DBFDBE", "NTXDBE", "DELDBE", "SDFDBE", "DBFNTX"}));
  EXPECT_EQ(engineNames(false), (std::vector<std::string>{"DELDBE", "SDFDBE", "DBFNTX"}));
  EXPECT_EQ(DbeSetDefault(), "DBFNTX");

  // The default engine keeps indexes; a table opened with the plain DBF engine does not.
  std::string file = makeCustomers();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_TRUE(OrdCreate(path("name"), "NAME"));
  DbCloseAll();
  ASSERT_TRUE(DbUseArea(true, "DBFDBE", file, "", false));
  EXPECT_FALSE(OrdCreate(path("name2"), "NAME"));
  EXPECT_EQ(lastGenCode(), gen::kNoEngine);
}

TEST_F(DbEngineTest, WhatCannotBeLoadedOrBuiltAnswersFalse) {
  EXPECT_FALSE(DbeLoad("FOXDBE"));
  EXPECT_FALSE(DbeLoad(""));
  EXPECT_FALSE(DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));  // nothing loaded yet
  EXPECT_TRUE(DbeLoad("DBFDBE"));
  EXPECT_FALSE(DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  EXPECT_TRUE(DbeLoad("NTXDBE"));
  EXPECT_TRUE(DbeLoad("DELDBE"));
  EXPECT_FALSE(DbeBuild("DBFNTX", "NTXDBE", "DBFDBE"));  // table engine first
  EXPECT_FALSE(DbeBuild("DELNTX", "DELDBE", "NTXDBE"));  // text tables keep no index
  EXPECT_FALSE(DbeBuild("DBFDBE", "DBFDBE", "NTXDBE"));  // a name of a plain engine
  EXPECT_TRUE(DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));

  db::setEngineUnavailableForTesting("NTXDBE");
  db::resetForTesting();
  db::setEngineUnavailableForTesting("NTXDBE");
  EXPECT_TRUE(DbeLoad("DBFDBE", true));
  EXPECT_FALSE(DbeLoad("NTXDBE", true));
  EXPECT_FALSE(DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
}

TEST_F(DbEngineTest, OpeningWithAnEngineNotLoadedIsAnError) {
  std::string file = makeCustomers();  // the DBF engine is always at hand as the default
  EXPECT_FALSE(DbUseArea(true, "SDFDBE", file, "", true));
  EXPECT_EQ(lastGenCode(), gen::kNoEngine);
  EXPECT_EQ(lastError().subSystem, "SDFDBE");
  EXPECT_FALSE(DbUseArea(true, "NTXDBE", file, "", true));
  EXPECT_TRUE(DbUseArea(true, "", file, "", true));
  db::resetForTesting();
  EXPECT_TRUE(DbUseArea(true, "DBFDBE", file, "", true));  // named without being loaded
}

TEST_F(DbEngineTest, SessionsRecordTheLastErrorOfTheLayer) {
  Value current = DbSession();
  ASSERT_TRUE(current.isObject());
  Value cls = DacSession();
  ASSERT_TRUE(IsMethod(cls, "getDefault"));
  Value byDefault = Send(cls, "getDefault");
  EXPECT_EQ(current.object(), byDefault.object());
  EXPECT_EQ(Send(current, "getLastError").num(), 0);

  EXPECT_FALSE(DbUseArea(true, "", path("missing.dbf"), "", true));
  EXPECT_EQ(Send(current, "GETLASTERROR").num(), gen::kNoFile);
  EXPECT_NE(Send(current, "getLastMessage").str().find("missing.dbf"), std::string::npos);

  // The next operation that succeeds clears it.
  std::string file = makeCustomers();
  EXPECT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(Send(current, "getLastError").num(), 0);
  EXPECT_EQ(Send(current, "getLastMessage").str(), "");
}

}  // namespace
}  // namespace xb::test
