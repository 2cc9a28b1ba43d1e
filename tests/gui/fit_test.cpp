// Every text fits its control, in both languages and at the device pixel
// ratios of high-density screens: the probe lays the window out under each
// QT_SCALE_FACTOR in a process of its own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace lmv::test {
namespace {

struct FitCase {
  const char* language;
  const char* scale;
};

class TextsFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(TextsFit, NothingIsCut) {
  QProcess probe;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(GetParam().scale));
  env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
  probe.setProcessEnvironment(env);
  probe.setProcessChannelMode(QProcess::MergedChannels);
  probe.start(QStringLiteral(LMV_FIT_PROBE), {QString::fromLatin1(GetParam().language)});
  ASSERT_TRUE(probe.waitForFinished(5 * 60 * 1000));
  const QString output = QString::fromUtf8(probe.readAll());
  EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(probe.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QStringLiteral("device pixel ratio %1").arg(QString::fromLatin1(GetParam().scale).toDouble(), 0, 'f', 2)))
      << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndScales, TextsFit,
                         ::testing::Values(FitCase{"en", "1"}, FitCase{"en", "1.5"}, FitCase{"en", "2"},
                                           FitCase{"ja", "1"}, FitCase{"ja", "1.5"}, FitCase{"ja", "2"}),
                         [](const auto& info) {
                           std::string scale = info.param.scale;
                           for (char& c : scale)
                             if (c == '.') c = '_';
                           return std::string(info.param.language) + "_x" + scale;
                         });

}  // namespace
}  // namespace lmv::test
