#include <gtest/gtest.h>

#include "core/error.h"
#include "core/object.h"
#include "support/error_capture.h"

namespace xb {
namespace {

// A C++ class with typed members and a method, as the toolkit's classes are made.
class Account : public Object {
  XB_CLASS()
 public:
  double balance = 0;
  std::string owner;
  Value cargo;
  virtual Value deposit(double amount) {
    balance += amount;
    return Value(balance);
  }
};

class SavingsAccount : public Account {
  XB_CLASS()
 public:
  Value deposit(double amount) override { return Account::deposit(amount * 2); }
};

const ClassDesc& Account::staticClass() {
  static const ClassDesc d("Account", &Object::staticClass(), [](ClassDesc& c) {
    c.field("balance", &Account::balance)
        .field("owner", &Account::owner)
        .field("cargo", &Account::cargo)
        .member("isEmpty", [](Object& o) { return Value(static_cast<Account&>(o).balance == 0); })
        .method("deposit",
                [](Object& o, Args a) { return static_cast<Account&>(o).deposit(a[0].num()); })
        .factory([] { return std::make_shared<Account>(); });
  });
  return d;
}

const ClassDesc& SavingsAccount::staticClass() {
  static const ClassDesc d("SavingsAccount", &Account::staticClass());
  return d;
}

TEST(ObjectTest, MembersAndMethodsByNameIgnoreCase) {
  Value acc(std::make_shared<Account>());
  SetMember(acc, "OWNER", "Jürgen");
  SetMember(acc, "Balance", 10);
  EXPECT_EQ(GetMember(acc, "owner").str(), "Jürgen");
  EXPECT_EQ(Send(acc, "DEPOSIT", {5}).num(), 15);
  EXPECT_EQ(acc.as<Account>()->balance, 15);
  EXPECT_FALSE(GetMember(acc, "isempty").logical());
  EXPECT_TRUE(IsMemberVar(acc, "CARGO"));
  EXPECT_TRUE(IsMethod(acc, "Deposit"));
  EXPECT_FALSE(IsMethod(acc, "balance"));
  EXPECT_FALSE(IsMemberVar(acc, "deposit"));
  EXPECT_FALSE(IsMemberVar(Value(), "cargo"));
}

TEST(ObjectTest, SubclassInheritsDescriptorAndOverridesVirtually) {
  Value acc(std::make_shared<SavingsAccount>());
  EXPECT_TRUE(acc.object()->isDerivedFrom("account"));
  EXPECT_TRUE(acc.object()->isDerivedFrom("SAVINGSACCOUNT"));
  EXPECT_FALSE(acc.object()->isDerivedFrom("Error"));
  EXPECT_EQ(acc.object()->className(), "SavingsAccount");
  // The by-name call reaches the C++ override.
  EXPECT_EQ(Send(acc, "deposit", {5}).num(), 10);
}

TEST(ObjectTest, ApplicationClassWithDataLinkIsSeenAsHavingOne) {
  static const ClassDesc form("MyForm", &Object::staticClass(), [](ClassDesc& c) {
    c.var("dataLink").var("counter", 0).method("bump", [](Object& o, Args) {
      Value& n = o.var("counter");
      n = Value(n.num() + 1);
      return n;
    });
  });
  Value obj(ClassDesc::find("myform")->create());
  EXPECT_TRUE(IsMemberVar(obj, "DATALINK"));
  EXPECT_TRUE(GetMember(obj, "dataLink").isNil());
  EXPECT_EQ(GetMember(obj, "counter").num(), 0);
  Send(obj, "bump");
  EXPECT_EQ(GetMember(obj, "COUNTER").num(), 1);
  Value link(makeBlock([](Args) { return Value(42); }));
  SetMember(obj, "datalink", link);
  EXPECT_EQ(Eval(GetMember(obj, "dataLink")).num(), 42);
  EXPECT_EQ(form.memberNames().size(), 2u);
}

TEST(ObjectTest, ClassesAreFoundByNameAndMadeByTheirFactory) {
  Account::staticClass();
  const ClassDesc* d = ClassDesc::find("ACCOUNT");
  ASSERT_NE(d, nullptr);
  auto obj = d->create();
  EXPECT_NE(std::dynamic_pointer_cast<Account>(obj), nullptr);
  EXPECT_EQ(ClassDesc::find("NoSuchClass"), nullptr);
}

TEST(ObjectTest, UnknownMembersAndMethodsRaiseErrorsNamingThem) {
  // Reads and calls take a substitute; an assignment can only be skipped.
  test::ErrorCapture errors(
      [](const ErrorRef& e) { return e->canSubstitute ? Value("x") : Value(false); });
  Value acc(std::make_shared<Account>());
  EXPECT_EQ(GetMember(acc, "nosuch").str(), "x");
  EXPECT_EQ(errors.last().genCode, gen::kNoMember);
  EXPECT_NE(errors.last().description.find("nosuch"), std::string::npos);
  EXPECT_EQ(Send(acc, "fly").str(), "x");
  EXPECT_EQ(errors.last().genCode, gen::kNoMethod);
  SetMember(acc, "isEmpty", true);  // read-only
  EXPECT_EQ(errors.last().genCode, gen::kReadOnly);
  EXPECT_TRUE(GetMember(acc, "isEmpty").logical());  // unchanged: balance is 0
  EXPECT_EQ(errors.errors.size(), 3u);
}

TEST(ObjectTest, MessageToNilRaisesAnErrorInsteadOfCrashing) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value(7); });
  EXPECT_EQ(Send(Value(), "create").num(), 7);  // substitutes, so any answer is taken
  EXPECT_EQ(errors.last().genCode, gen::kNoMethod);
  EXPECT_EQ(errors.last().operation, "create");
  EXPECT_EQ(GetMember(Value(3), "cargo").num(), 7);
  SetMember(Value(), "cargo", 1);
  EXPECT_EQ(errors.errors.size(), 3u);
}

TEST(ObjectTest, ErrorObjectHasEveryMemberTheHandlerReads) {
  Value e(makeError(gen::kOpen, "Open error", "DbUseArea", "DBFDBE"));
  const char* names[] = {"genCode", "subSystem", "subCode", "severity", "description",
                         "fileName", "operation", "osCode", "args", "canRetry", "canDefault",
                         "canSubstitute", "cargo", "thread", "tries"};
  for (const char* n : names) EXPECT_TRUE(IsMemberVar(e, n)) << n;
  EXPECT_EQ(GetMember(e, "GENCODE").num(), 71);
  EXPECT_EQ(GetMember(e, "subsystem").str(), "DBFDBE");
  SetMember(e, "osCode", 32);
  EXPECT_EQ(e.as<ErrorObject>()->osCode, 32);
  EXPECT_TRUE(e.object()->isDerivedFrom("error"));
}

}  // namespace
}  // namespace xb
