// Prints a Markdown manual to PDF with Qt's own writer, in the CJK-capable
// face the program uses, so that the Japanese manual needs no other tools.
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

bool printManual(const QString& markdownPath, const QString& pdfPath) {
  QFile in(markdownPath);
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(markdownPath));
    return false;
  }
  const QString markdown = QString::fromUtf8(in.readAll());

  QPdfWriter writer(pdfPath);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
  writer.setResolution(300);
  writer.setTitle(markdown.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('#')).trimmed());
  writer.setCreator(QStringLiteral("Lumetrevisor"));

  QTextDocument doc;
  QFont font(QStringLiteral("Noto Sans CJK JP"));
  font.setPointSizeF(10.5);
  doc.setDefaultFont(font);
  doc.setMarkdown(markdown);
  doc.print(&writer);
  return QFile::exists(pdfPath);
}
