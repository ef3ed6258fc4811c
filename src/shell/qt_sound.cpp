#include "shell/qt_sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace quintavia {

QtSound::QtSound(Beep& fallback) : fallback_(fallback) {}

QtSound::~QtSound() {
    // A player going away may still report; the fallback must not hear it.
    if (effect_) QObject::disconnect(effect_.get(), nullptr, nullptr, nullptr);
}

void QtSound::play(const QString& path) {
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        QSoundEffect* effect = effect_.get();
        QObject::connect(effect, &QSoundEffect::statusChanged, effect, [this, effect] {
            if (effect->status() == QSoundEffect::Error) fallback_.beep();
        });
    }
    effect_->stop();
    // Clearing the source first makes the same file load again: it may have been mended or
    // broken since, and it starts again from its beginning.
    effect_->setSource(QUrl());
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}

}  // namespace quintavia
