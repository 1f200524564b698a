#include "ui/qt_operator.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QMetaObject>
#include <QKeyEvent>
#include <QTest>
#include <QSpontaneKeyEvent>
#include <QWidget>

#include "support/window_support.h"
#include "ui/input_interceptor.h"

namespace varnholt {
namespace {

// Runs work from the event queue, as input that arrives while the program is busy.
void Queue(std::function<void()> work) {
  QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

TEST(QtOperatorInput, PressesWaitingInTheQueueAreTakenInOrderAndKeptFromTheWindows) {
  QtOperator op;
  QWidget window;
  auto* start = new QAction(&window);
  start->setShortcut(Qt::Key_F2);
  window.addAction(start);
  int triggered = 0;
  QObject::connect(start, &QAction::triggered, [&] { ++triggered; });
  window.show();
  window.activateWindow();
  Queue([&] {
    QTest::keyClick(&window, Qt::Key_F2);
    QTest::mouseClick(&window, Qt::LeftButton);
    QTest::mouseClick(&window, Qt::RightButton);
  });
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kKeyPress);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kLeftPress);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kOther);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone);
  EXPECT_EQ(triggered, 0) << "a key taken by the abort check must not start anything";

  QTest::keyClick(&window, Qt::Key_F2);
  EXPECT_EQ(triggered, 1) << "outside the check the shortcut works";
}

TEST(QtOperatorInput, AWatchLearnsOfTheReleasesTakenFromTheWindows) {
  QtOperator op;
  QWidget window;
  window.show();
  const auto release = [&window](int key, quint32 scan_code, bool auto_repeat) {
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, scan_code, 0, 0, QString(), auto_repeat);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(&window, &event);  // as the platform delivers it; sendEvent would unmark it
  };
  MissedReleaseWatch outer;
  {
    MissedReleaseWatch watch;
    Queue([&] {
      release(Qt::Key_Right, 0, true);  // a held key repeating is not let go
      release(Qt::Key_Comma, 59, false);
    });
    EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone);
    EXPECT_FALSE(watch.KeyReleased(Qt::Key_Right, 0));
    // The physical key counts where the platform names it: "," let go with Shift held arrives as "<".
    EXPECT_TRUE(watch.KeyReleased(Qt::Key_Less, 59));
    EXPECT_FALSE(watch.KeyReleased(Qt::Key_Period, 60));
    EXPECT_TRUE(watch.KeyReleased(Qt::Key_Comma, 0));
    EXPECT_FALSE(outer.KeyReleased(Qt::Key_Comma, 0)) << "only the innermost watch is told";
  }
  release(Qt::Key_Up, 0, false);
  EXPECT_FALSE(outer.KeyReleased(Qt::Key_Up, 0)) << "a release the window received was not missed";
  EXPECT_FALSE(outer.LeftButtonReleased());
  Queue([&] {
    release(Qt::Key_Up, 0, false);
    QTest::mouseRelease(&window, Qt::RightButton);
  });
  op.TakePendingInput();
  EXPECT_TRUE(outer.KeyReleased(Qt::Key_Up, 0));
  EXPECT_FALSE(outer.LeftButtonReleased());
  Queue([&] { QTest::mouseRelease(&window, Qt::LeftButton); });
  op.TakePendingInput();
  EXPECT_TRUE(outer.LeftButtonReleased());
}

TEST(QtOperatorInput, RepaintLeavesTheOperatorsInputQueued) {
  QtOperator op;
  QWidget window;
  window.show();
  bool clicked = false;
  Queue([&] {
    clicked = true;
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  op.Repaint();
  EXPECT_TRUE(clicked);
  EXPECT_EQ(op.TakePendingInput(), PendingInput::kNone)
      << "input during a repaint reaches the window as usual";
}

TEST(QtOperatorStatus, ProjectPanelGoesToTheProjectAtWorkElseToTheMainWindow) {
  QtOperator op;
  std::vector<std::pair<int, QString>> panels;
  op.SetPanelSink([&](int panel, const QString& text) { panels.emplace_back(panel, text); });
  QString line;
  {
    ScopedProjectStatusLine project([&](const QString& text) { line = text; });
    op.SetStatusText(1, "Ready 40%");
    op.SetStatusText(0, "Open file x.plt");
  }
  op.SetStatusText(1, "2");
  EXPECT_EQ(line, "Ready 40%");
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_EQ(panels[0], std::make_pair(0, QString("Open file x.plt")));
  EXPECT_EQ(panels[1], std::make_pair(1, QString("2")));
}

TEST(QtOperatorCursor, BusyIsAStateNotACount) {
  {
    QtOperator op;
    op.SetBusyCursor(true);
    op.SetBusyCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    op.SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    op.SetBusyCursor(true);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "an operator that goes restores the cursor";
}

TEST(QtOperatorQuestions, ButtonsMapToTheirCodesAndAnythingElseToTheSafeChoice) {
  const ButtonSet retry_cancel = Buttons({kButtonRetry, kButtonCancel});
  EXPECT_EQ(QuestionAnswer(QMessageBox::Retry, retry_cancel), kButtonRetry);
  EXPECT_EQ(QuestionAnswer(QMessageBox::Cancel, retry_cancel), kButtonCancel);
  EXPECT_EQ(QuestionAnswer(QMessageBox::Yes, retry_cancel), kButtonCancel) << "a button not offered";
  EXPECT_EQ(QuestionAnswer(QMessageBox::NoButton, Buttons({kButtonYes, kButtonNo})), kButtonNo);
  EXPECT_EQ(QuestionAnswer(QMessageBox::NoButton, Buttons({kButtonOk})), kButtonOk);
}

}  // namespace
}  // namespace varnholt
