#pragma once

#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <optional>

#include "browser/pane.h"

namespace quintavia {

// The document as it stood when its load finished: the engine answers asynchronously, the
// core reads synchronously. The scroll offsets are the page's latest known ones; a new offset
// is handed to the page and applied there shortly after, in the order given.
class WebDocument final : public PaneDocument {
  public:
    WebDocument(QString html, QWebEnginePage* page) : html_(std::move(html)), page_(page) {}
    std::optional<QString> outerHtml() const override { return html_; }

    std::optional<double> scrollTop() const override;
    std::optional<double> scrollLeft() const override;
    bool setScrollTop(const QString& offset) override;
    bool setScrollLeft(const QString& offset) override;

  private:
    bool scrollTo(const char* property, const QString& offset);

    QString html_;
    QPointer<QWebEnginePage> page_;
};

// A browser pane: a QWebEngineView that raises downloadComplete once the finished page's
// markup is in hand, so that the core can read it without waiting.
class WebPane final : public QWebEngineView, public Pane {
    Q_OBJECT
  public:
    WebPane(int index, QWidget* parent);

    int index() const { return index_; }

    bool navigate(const QString& address) override;
    PaneDocument* document() override;

    float left() const override;
    float top() const override;
    float width() const override;
    float height() const override;
    bool setLeft(float twips) override;
    bool setTop(float twips) override;
    bool setWidth(float twips) override;
    bool setHeight(float twips) override;

  signals:
    void downloadComplete(int index);

  private:
    void captureDocument();

    int index_;
    std::optional<WebDocument> document_;
};

}  // namespace quintavia
