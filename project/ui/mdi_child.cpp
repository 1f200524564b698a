#include "project/ui/mdi_child.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/konfig_file.h"
#include "geometry/clock.h"
#include "project/load_report.h"
#include "project/ui/load_report_dialog.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "ui/input_interceptor.h"
#include "ui/qt_operator.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

// Ticks of the animation; the path's own timing comes from the program clock.
constexpr int kAnimationTickMs = 15;

QColor Colour(uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xff), static_cast<int>((rgb >> 8) & 0xff),
                static_cast<int>(rgb & 0xff));
}

QPoint At(const TPlotPoint& p) {
  return QPoint(p.x, p.y);
}

void DrawPolyline(QPainter& painter, const std::vector<TPlotPoint>& pixels, size_t count) {
  if (count == 0) return;
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) polygon << At(pixels[i]);
  if (count == 1) {
    painter.drawPoint(polygon.front());
  } else {
    painter.drawPolyline(polygon);
  }
}

}  // namespace

TMDIChild::TMDIChild(const tInterfejs& texts, QWidget* parent)
    : QWidget(parent), texts_(texts), document_([&texts](std::string_view section, std::string_view key) {
        return texts.GetText(section, key);
      }) {
  setObjectName("MDIChild");
  setAttribute(Qt::WA_DeleteOnClose);
  setMouseTracking(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  status_line_ = new QStatusBar(this);
  status_line_->setObjectName("StatusBar");
  status_line_->setSizeGripEnabled(false);
  notes_button_ = new QToolButton(status_line_);
  notes_button_->setObjectName("LoadNotes");
  notes_button_->setAutoRaise(true);
  notes_button_->setVisible(false);
  connect(notes_button_, &QToolButton::clicked, this, [this] { ShowLoadReport(); });
  status_line_->addPermanentWidget(notes_button_);
  layout->addWidget(status_line_);
  ApplyReadingOrder(*this, texts_);
}

TMDIChild::~TMDIChild() = default;

ProjectView TMDIChild::View() const {
  return ViewOf(document_, width(), height(), status_line_->height());
}

void TMDIChild::Work(const std::function<void()>& work) {
  busy_ = true;
  ScopedProjectStatusLine line([this](const QString& text) { SetStatusLine(text); });
  work();
  busy_ = false;
}

bool TMDIChild::Load(const std::string& file_name, int pen_filter) {
  return LoadAndPlan(file_name, [&] { return document_.Load(file_name, pen_filter); });
}

bool TMDIChild::LoadFigures(FigureList drawing, const std::string& caption) {
  return LoadAndPlan(caption, [&] { return document_.LoadFigures(std::move(drawing)); });
}

bool TMDIChild::LoadAndPlan(const std::string& caption, const std::function<bool()>& load) {
  setWindowTitle(QString::fromStdString(caption));
  bool loaded = false;
  Work([&] {
    // The drawing is shown before it is planned, so a long plan runs in front of it.
    document_.plan_after_load = false;
    loaded = load();
    UpdateNotes();
    if (!loaded) return;
    ProjectChanged();
    CurrentOperator().Repaint();
    document_.ciecie();
    ProjectChanged();
  });
  return loaded;
}

void TMDIChild::TakeProject(ProjectDocument&& project, const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
  document_ = std::move(project);
  UpdateNotes();
  ProjectChanged();
}

void TMDIChild::ciecie() {
  Work([this] { document_.ciecie(); });
  ProjectChanged();
}

void TMDIChild::ChangeKerf(const KerfSettings& settings) {
  if (!CanCompensateAgain(document_)) return;
  Work([&] {
    // As after a load: the compensated drawing is shown before it is planned.
    document_.plan_after_load = false;
    document_.ChangeKerf(settings.kerf_mm, settings.scale_percent);
    UpdateNotes();
    ProjectChanged();
    CurrentOperator().Repaint();
    document_.ciecie();
  });
  ProjectChanged();
}

void TMDIChild::ProjectChanged() {
  picture_valid_ = false;
  update();
}

void TMDIChild::SetStatusLine(const QString& text) {
  if (text.isEmpty()) {
    status_line_->clearMessage();
  } else {
    status_line_->showMessage(text);
  }
}

QString TMDIChild::StatusText() const {
  return status_line_->currentMessage();
}

int TMDIChild::NoteCount() const {
  return static_cast<int>(LoadReportLines(document_).size());
}

void TMDIChild::UpdateNotes() {
  const int count = NoteCount();
  notes_button_->setText(LanguageText(texts_, "Project_window", "uwagiWczytania") + QString::number(count));
  notes_button_->setVisible(count > 0);
}

void TMDIChild::ShowLoadReport() {
  LoadReportDialog report(texts_, windowTitle(), LoadReportLines(document_), this);
  report.exec();
}

void TMDIChild::RenderPicture() {
  const int canvas_height = std::max(1, height() - status_line_->height());
  picture_ = QImage(std::max(1, width()), canvas_height, QImage::Format_RGB32);
  picture_.fill(palette().color(QPalette::Window));
  picture_valid_ = true;
  const ProjectView view = View();
  if (!view.drawable) return;
  QPainter painter(&picture_);
  if (ShowsDrawnFigures(document_)) {
    painter.setPen(QPen(Colour(kGrey), 0));
    for (const auto& figure : document_.drawn_figures) {
      const std::vector<TPlotPoint> pixels = PixelPolyline(*figure, view);
      DrawPolyline(painter, pixels, pixels.size());
    }
  }
  for (size_t i = 0; i < document_.figures.size(); ++i) {
    painter.setPen(QPen(Colour(FigureColour(document_, i)), 0));
    const std::vector<TPlotPoint> pixels = PixelPolyline(*document_.figures[i], view);
    DrawPolyline(painter, pixels, pixels.size());
  }
}

void TMDIChild::paintEvent(QPaintEvent*) {
  const int canvas_height = std::max(1, height() - status_line_->height());
  if (!picture_valid_ || picture_.width() != std::max(1, width()) || picture_.height() != canvas_height) {
    RenderPicture();
  }
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
  if (!document_.show_path || animation_.pixels().empty()) return;
  painter.setPen(QPen(Colour(kRed), 0));
  const size_t reached = animation_.ReachedAt(animation_elapsed_ms_);
  std::vector<TPlotPoint> drawn(animation_.pixels().begin(),
                                animation_.pixels().begin() + static_cast<std::ptrdiff_t>(reached));
  const TPlotPoint pen = animation_.PenAt(animation_elapsed_ms_);
  if (drawn.back() != pen) drawn.push_back(pen);
  DrawPolyline(painter, drawn, drawn.size());
}

void TMDIChild::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  picture_valid_ = false;
  // A running simulation follows the new scale from where it is.
  if (simulating()) animation_ = PathAnimation(PlannedStops(document_), View(), animation_pause_ms_);
  update();
}

void TMDIChild::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    if (information_requested) information_requested();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const QPoint click = event->position().toPoint();
  document_.selected_figure = FigureAt(document_, View(), TPlotPoint{click.x(), click.y()});
  ProjectChanged();
  if (document_.selected_figure < 0) {
    SetStatusLine("");
    return;
  }
  const std::string caption =
      texts_.GetText("Project_window", "wybranaFiguraNr") + std::to_string(document_.selected_figure);
  SetStatusLine(QString::fromStdString(caption));
  const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if ((event->modifiers() & all) == all) {
    const tfigura& figure = *document_.figures[static_cast<size_t>(document_.selected_figure)];
    CurrentOperator().ShowMessageBox(
        PointListText(figure, LocaleDecimalSeparator(), texts_.GetText("Project_window", "dalszePunkty")),
        false, caption);
  }
}

void TMDIChild::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && document_.selected_figure >= 0) update();
}

void TMDIChild::mouseReleaseEvent(QMouseEvent*) {
  SetStatusLine("");
}

void TMDIChild::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && information_requested) information_requested();
}

void TMDIChild::StartSimulation(int64_t pause_ms, std::function<void(bool stopped)> finished) {
  if (simulating()) return;
  animation_finished_ = std::move(finished);
  animation_pause_ms_ = pause_ms;
  document_.abort_requested = false;
  animation_ = PathAnimation(PlannedStops(document_), View(), pause_ms);
  document_.show_path = true;
  animation_start_ms_ = CurrentClock().NowMs();
  animation_elapsed_ms_ = 0;
  animation_timer_ = new QTimer(this);
  connect(animation_timer_, &QTimer::timeout, this, [this] { AnimationTick(); });
  animation_input_ = std::make_unique<InputInterceptor>([this](PendingInput input) {
    if (!IsAbortingPress(input)) return;
    if (document_.abort_requested) return;
    document_.abort_requested = true;
    // Not from inside the interceptor's own filter call: the interceptor ends with the simulation.
    QMetaObject::invokeMethod(
        this, [this] { FinishSimulation(); }, Qt::QueuedConnection);
  });
  animation_timer_->start(kAnimationTickMs);
  AnimationTick();
}

void TMDIChild::AnimationTick() {
  if (!simulating()) return;
  animation_elapsed_ms_ = CurrentClock().NowMs() - animation_start_ms_;
  update();
  if (animation_elapsed_ms_ >= animation_.total_ms()) FinishSimulation();
}

void TMDIChild::FinishSimulation() {
  if (!simulating()) return;
  // The timer may be the caller: it goes once its tick is over.
  animation_timer_->stop();
  animation_timer_->deleteLater();
  animation_timer_ = nullptr;
  animation_input_.reset();
  document_.show_path = false;
  update();
  if (auto finished = std::move(animation_finished_)) finished(document_.abort_requested);
}

}  // namespace varnholt
