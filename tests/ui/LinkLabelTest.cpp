#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "support/RecordingOpener.h"
#include "ui/controls/DesktopUrlOpener.h"
#include "ui/controls/LinkLabelCl.h"

namespace quillon {
namespace {

constexpr char kSite[] = "https://quillon.example/";
constexpr int kLeaveWaitMs = 2000;

bool Shows(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

class LinkLabelTest : public ::testing::Test {
 protected:
  LinkLabelTest() {
    window.resize(400, 120);
    label = new LinkLabelCl(QStringLiteral("Quillon Systems"), QString::fromLatin1(kSite), &window);
    label->setGeometry(40, 40, 200, 20);
    label->SetOpener(opener);
    label->SetErrorReporter([this](LinkLabelCl&, const QString& message) { reports << message; });
    window.show();
  }

  void MoveOnto() { QTest::mouseMove(label, QPoint(5, 5)); }
  // To the window beside the label: the label itself hears nothing of it.
  void MoveAway() { QTest::mouseMove(&window, QPoint(350, 100)); }
  void Click() { QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5)); }
  bool WaitUntilLeft() {
    return QTest::qWaitFor([&] { return !label->MouseOver(); }, kLeaveWaitMs);
  }
  QImage Shown() { return label->grab().toImage(); }

  QWidget window;
  LinkLabelCl* label = nullptr;
  std::shared_ptr<RecordingOpener> opener = std::make_shared<RecordingOpener>();
  QStringList reports;
};

TEST_F(LinkLabelTest, HoverTurnsItRedAndUnderlinedUntilTheMouseHasLeft) {
  EXPECT_EQ(label->TextColour(), QColor(LinkLabelCl::kLinkColour));
  EXPECT_FALSE(Shows(Shown(), LinkLabelCl::kHoverColour));
  MoveOnto();
  EXPECT_TRUE(label->MouseOver());
  EXPECT_TRUE(label->Underlined());
  EXPECT_TRUE(Shows(Shown(), LinkLabelCl::kHoverColour));
  MoveAway();
  ASSERT_TRUE(WaitUntilLeft());
  EXPECT_FALSE(label->Underlined());
  EXPECT_EQ(label->TextColour(), QColor(LinkLabelCl::kLinkColour));
  EXPECT_FALSE(Shows(Shown(), LinkLabelCl::kHoverColour));
}

TEST_F(LinkLabelTest, AlwaysUnderlinedStaysUnderlinedAfterTheMouseLeaves) {
  label->SetUnderline(LinkLabelCl::kUnderlineAlways);
  EXPECT_TRUE(label->Underlined());
  MoveOnto();
  MoveAway();
  ASSERT_TRUE(WaitUntilLeft());
  EXPECT_TRUE(label->Underlined());
  label->SetUnderline(LinkLabelCl::kUnderlineOnHover);
  EXPECT_FALSE(label->Underlined());
}

TEST_F(LinkLabelTest, NeverUnderlinedEvenUnderTheMouse) {
  label->SetUnderline(LinkLabelCl::kUnderlineNever);
  MoveOnto();
  EXPECT_EQ(label->TextColour(), QColor(LinkLabelCl::kHoverColour));
  EXPECT_FALSE(label->Underlined());
}

TEST_F(LinkLabelTest, ClickOpensTheUrlAndMarksItVisited) {
  MoveOnto();
  Click();
  EXPECT_EQ(opener->addresses, std::vector<std::string>{kSite});
  EXPECT_TRUE(label->Visited());
  EXPECT_EQ(label->TextColour(), QColor(LinkLabelCl::kVisitedColour));
  EXPECT_TRUE(reports.isEmpty());
}

TEST_F(LinkLabelTest, FailedOpenExplainsTheCodeAndClearsVisited) {
  label->SetVisited(true);
  opener->result = url_open::kFileNotFound;
  Click();
  EXPECT_FALSE(label->Visited());
  EXPECT_EQ(label->TextColour(), QColor(LinkLabelCl::kLinkColour));
  ASSERT_EQ(reports.size(), 1);
  EXPECT_EQ(reports[0],
            QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
}

TEST_F(LinkLabelTest, CodeWithoutATextIsAnUnknownError) {
  opener->result = url_open::kUnknownFailure;
  Click();
  ASSERT_EQ(reports.size(), 1);
  EXPECT_EQ(reports[0], QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (1) occurred."));
}

TEST_F(LinkLabelTest, ReleaseOutsideTheLabelOpensNothing) {
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 300));
  EXPECT_TRUE(opener->addresses.empty());
}

TEST_F(LinkLabelTest, TooltipAndCursor) {
  EXPECT_EQ(label->toolTip(), QString::fromLatin1(kSite));
  label->SetUrl(QStringLiteral("http://other.example/"));
  EXPECT_EQ(label->toolTip(), QStringLiteral("http://other.example/"));
  EXPECT_EQ(label->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(LinkLabelTest, BackgroundIsTheFaceColour) {
  const QImage shown = Shown();
  EXPECT_EQ(shown.pixelColor(shown.width() - 1, shown.height() - 1),
            window.palette().color(QPalette::Window));
}

TEST(LinkLabelDefaultReport, WarningBoxWithTheMessage) {
  QWidget window;
  auto* label = new LinkLabelCl(QStringLiteral("x"), QStringLiteral("http://x.example/"), &window);
  auto opener = std::make_shared<RecordingOpener>(url_open::kNoAssociation);
  label->SetOpener(opener);
  window.show();
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->objectName() != QStringLiteral("linkErrorBox")) return;
    text = box->text();
    icon = box->icon();
    box->accept();
  });
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(text, QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                 "associated\nwith the given filename extension."));
  EXPECT_EQ(icon, QMessageBox::Warning);
}

struct AttachCase {
  const char* name;
  const char* text;
  const char* url;
  const char* shown;
  const char* target;
};

void PrintTo(const AttachCase& c, std::ostream* out) {
  *out << c.name;
}

class LinkLabelAttach : public ::testing::TestWithParam<AttachCase> {};

TEST_P(LinkLabelAttach, EmptyUrlTakesTheTextAndEmptyTextShowsTheUrl) {
  const AttachCase& c = GetParam();
  LinkLabelCl label{QString::fromLatin1(c.text), QString::fromLatin1(c.url)};
  EXPECT_EQ(label.text(), QString::fromLatin1(c.shown));
  EXPECT_EQ(label.Url(), QString::fromLatin1(c.target));
}

INSTANTIATE_TEST_SUITE_P(Texts, LinkLabelAttach,
                         ::testing::Values(AttachCase{"textOnly", "Site", "", "Site", "Site"},
                                           AttachCase{"urlOnly", "", "http://a.example/",
                                                      "http://a.example/", "http://a.example/"},
                                           AttachCase{"both", "Site", "http://a.example/", "Site",
                                                      "http://a.example/"}));

struct FitCase {
  const char* name;
  Qt::Alignment alignment;
  // Which edge of the old rectangle (40, 40, 200 x 30) the fitted label keeps.
  enum { kLeft, kRight, kCentre } horizontal;
  bool vertical_centre;
};

void PrintTo(const FitCase& c, std::ostream* out) {
  *out << c.name;
}

class LinkLabelFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(LinkLabelFit, ResizesToTheTextKeepingTheAlignedEdge) {
  const FitCase& c = GetParam();
  QWidget window;
  LinkLabelCl label(QString(), QString(), &window);
  const QRect old(40, 40, 200, 30);
  label.setGeometry(old);
  label.setAlignment(c.alignment);
  label.SetText(QStringLiteral("Quillon Systems"));
  QFont underline = label.font();
  underline.setUnderline(true);
  const QSize text = QFontMetrics(underline).size(Qt::TextSingleLine, label.text());
  const QRect fitted = label.geometry();
  EXPECT_EQ(fitted.size(), text);
  switch (c.horizontal) {
    case FitCase::kLeft:
      EXPECT_EQ(fitted.left(), old.left());
      break;
    case FitCase::kRight:
      EXPECT_EQ(fitted.right(), old.right());
      break;
    case FitCase::kCentre:
      EXPECT_LE(std::abs(fitted.center().x() - old.center().x()), 1);
      break;
  }
  if (c.vertical_centre) {
    EXPECT_LE(std::abs(fitted.center().y() - old.center().y()), 1);
  } else {
    EXPECT_EQ(fitted.top(), old.top());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, LinkLabelFit,
    ::testing::Values(FitCase{"left", Qt::AlignLeft | Qt::AlignTop, FitCase::kLeft, false},
                      FitCase{"right", Qt::AlignRight | Qt::AlignTop, FitCase::kRight, false},
                      FitCase{"centre", Qt::AlignCenter, FitCase::kCentre, true}));

// ---- DesktopUrlOpener

class UrlHandler : public QObject {
  Q_OBJECT

 public slots:
  void Handle(const QUrl& url) { urls << url; }

 public:
  QList<QUrl> urls;
};

class DesktopUrlOpenerTest : public ::testing::Test {
 protected:
  DesktopUrlOpenerTest() {
    QDesktopServices::setUrlHandler(QStringLiteral("quillontest"), &handler, "Handle");
  }
  ~DesktopUrlOpenerTest() override {
    QDesktopServices::unsetUrlHandler(QStringLiteral("quillontest"));
  }

  UrlHandler handler;
  RecordingOpener* fallback = new RecordingOpener(url_open::kNoAssociation);
  DesktopUrlOpener opener{std::unique_ptr<UrlOpener>(fallback)};
};

TEST_F(DesktopUrlOpenerTest, DesktopHandlerFirst) {
  EXPECT_EQ(opener.Open("quillontest://card.example:8080/"), url_open::kOpened);
  ASSERT_EQ(handler.urls.size(), 1);
  EXPECT_EQ(handler.urls[0], QUrl(QStringLiteral("quillontest://card.example:8080/")));
  EXPECT_TRUE(fallback->addresses.empty());
}

TEST_F(DesktopUrlOpenerTest, AddressQtCannotTakeGoesToTheFallbackAsWritten) {
  for (const char* address : {"quillontest://2001:db8::21:80/", "card.example"}) {
    SCOPED_TRACE(address);
    fallback->addresses.clear();
    EXPECT_EQ(opener.Open(address), url_open::kNoAssociation);
    EXPECT_EQ(fallback->addresses, std::vector<std::string>{address});
  }
  EXPECT_TRUE(handler.urls.empty());
}

}  // namespace
}  // namespace quillon

#include "LinkLabelTest.moc"
