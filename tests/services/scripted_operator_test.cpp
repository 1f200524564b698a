#include "services/scripted_operator.h"

#include <gtest/gtest.h>

namespace varnholt {
namespace {

TEST(ScriptedOperator, RecordsMessagesAndAnswersFromTheScript) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  CurrentOperator().ShowMessageBox("disk full", true, "");
  op.AnswerNext(kButtonYes);
  EXPECT_EQ(CurrentOperator().AskQuestion("go on?", Buttons({kButtonYes, kButtonNo}), "Varnholt"), kButtonYes);
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_TRUE(op.messages()[0].is_error);
  EXPECT_EQ(op.questions()[0].answer, kButtonYes);
}

TEST(ScriptedOperator, UnscriptedQuestionsTakeTheSafeChoice) {
  ScriptedOperator op;
  EXPECT_EQ(op.AskQuestion("?", Buttons({kButtonOk, kButtonCancel}), ""), kButtonCancel);
  EXPECT_EQ(op.AskQuestion("?", Buttons({kButtonYes, kButtonNo}), ""), kButtonNo);
  EXPECT_EQ(op.AskQuestion("?", Buttons({kButtonOk}), ""), kButtonOk);
}

TEST(ScriptedOperator, InjectedInputArrivesAfterTheGivenPolls) {
  ScriptedOperator op;
  op.InjectInputAfter(2, PendingInput::kKeyPress);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kKeyPress);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone);
  op.SetStatusText(1, "Planning 50%");
  EXPECT_EQ(op.status(1), "Planning 50%");
  EXPECT_EQ(op.status(0), "");
}

TEST(BusyCursorGuard, NestedGuardsLeaveTheHourglassToTheOutermost) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  {
    BusyCursor outer;
    {
      BusyCursor inner;
      EXPECT_TRUE(op.busy());
    }
    EXPECT_TRUE(op.busy()) << "an inner step ending keeps the hourglass of the operation around it";
    op.ShowMessageBox("wire broken", true, "");
  }
  EXPECT_FALSE(op.busy());
  EXPECT_TRUE(op.messages()[0].busy);

  ScriptedOperator other;
  {
    BusyCursor outer;
    ScopedOperator swapped(other);
    {
      BusyCursor inner;
      EXPECT_TRUE(other.busy()) << "each operator counts its own guards";
    }
    EXPECT_FALSE(other.busy());
    EXPECT_TRUE(op.busy());
  }
  EXPECT_FALSE(op.busy()) << "the guard ends on the operator it began on";
}

}  // namespace
}  // namespace varnholt
