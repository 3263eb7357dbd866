#include "ui/Markup.h"

#include <QApplication>
#include <QRegularExpression>

#include "ui/Icons.h"

namespace lanterna::ui {

namespace {

struct Attribute {
  QString name;
  QString value;
};

QList<Attribute> ParseAttributes(const QString& text) {
  static const QRegularExpression pattern(R"((\w+)\s*=\s*("[^"]*"|'[^']*'|[^\s>]+))");
  QList<Attribute> attributes;
  for (auto it = pattern.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    QString value = match.captured(2);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) value = value.mid(1, value.size() - 2);
    attributes.push_back({match.captured(1).toLower(), value});
  }
  return attributes;
}

QString PaletteColor(const QString& value, const QPalette& palette) {
  if (value.compare("buttonface", Qt::CaseInsensitive) == 0) return palette.color(QPalette::Button).name();
  if (value.compare("window", Qt::CaseInsensitive) == 0) return palette.color(QPalette::Base).name();
  return value;
}

QString IconTag(const QList<Attribute>& attributes) {
  QString id, size;
  for (const Attribute& a : attributes) {
    if (a.name == "idres") id = a.value;
    if (a.name == "width" || a.name == "height") size += QString(" %1=%2").arg(a.name, a.value);
  }
  return QString("<img src=\"%1\"%2>").arg(IconPath(id.toInt()), size);
}

QString FontSpan(const QList<Attribute>& attributes) {
  QStringList style;
  for (const Attribute& a : attributes) {
    if (a.name == "color") style << "color:" + a.value;
    if (a.name == "size") style << "font-size:" + a.value;
    if (a.name == "face") style << "font-family:" + a.value;
    if (a.name == "style" && a.value.contains('b', Qt::CaseInsensitive)) style << "font-weight:bold";
    if (a.name == "style" && a.value.contains('i', Qt::CaseInsensitive)) style << "font-style:italic";
  }
  return QString("<span style=\"%1\">").arg(style.join(';'));
}

QString Rule(const QList<Attribute>& attributes) {
  QString color = "gray";
  for (const Attribute& a : attributes)
    if (a.name == "color") color = a.value;
  return QString("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td bgcolor=\"%1\" "
                 "style=\"font-size:2px\">&nbsp;</td></tr></table>")
      .arg(color);
}

QString TranslateTag(const QString& slash, const QString& name, const QString& rest, const QPalette& palette) {
  const QString lower = name.toLower();
  const QList<Attribute> attributes = ParseAttributes(rest);
  if (lower == "icon") return IconTag(attributes);
  if (lower == "font") return slash.isEmpty() ? FontSpan(attributes) : "</span>";
  if (lower == "hr") return Rule(attributes);
  if (!rest.contains("bgcolor", Qt::CaseInsensitive)) return QString("<%1%2%3>").arg(slash, name, rest);
  QString tag = "<" + slash + name;
  for (const Attribute& a : attributes)
    tag += QString(" %1=\"%2\"").arg(a.name, a.name == "bgcolor" ? PaletteColor(a.value, palette) : a.value);
  return tag + ">";
}

}  // namespace

QString TranslateMarkup(const QString& markup, const QPalette& palette) {
  static const QRegularExpression tag(R"(<(/?)(\w+)([^>]*)>)");
  QString result;
  qsizetype done = 0;
  for (auto it = tag.globalMatch(markup); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    result += markup.mid(done, match.capturedStart() - done);
    result += TranslateTag(match.captured(1), match.captured(2), match.captured(3), palette);
    done = match.capturedEnd();
  }
  result += markup.mid(done);
  return result;
}

QString TranslateMarkup(const QString& markup) { return TranslateMarkup(markup, QApplication::palette()); }

QString ToolTipText(const QString& title, const QString& body) {
  QString text = "<qt>";
  if (!title.isEmpty()) text += "<b>" + title.toHtmlEscaped() + "</b>";
  if (!title.isEmpty() && !body.isEmpty()) text += "<br>";
  text += TranslateMarkup(body);
  return text + "</qt>";
}

}  // namespace lanterna::ui
