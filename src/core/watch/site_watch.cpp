#include "core/watch/site_watch.h"

#include "core/sites/sites.h"

namespace quintavia {

namespace {

Observation ObserveKind(const SiteRule& rule, const CaptureFacts& facts) {
    using Kind = Observation::Kind;
    // A failure first: the engine keeps the requested address for its error page, which is
    // on the site's domain and has no marker either.
    if (facts.httpStatus >= 400) return {Kind::HttpError, facts.httpStatus, {}, {}, {}};
    if (!facts.loadSucceeded) return {Kind::EngineError, 0, {}, {}, {}};
    if (!IsRulePage(rule, facts.url)) {
        // The ASCII form, which no look-alike letter disguises; for an address without a
        // host (about:blank, data:) its scheme alone, as the rest can be any text.
        QString where = facts.url.host(QUrl::FullyEncoded);
        if (where.isEmpty() && !facts.url.scheme().isEmpty()) where = facts.url.scheme() + u':';
        if (where.isEmpty()) where = QStringLiteral("nessun indirizzo");
        return {Kind::OtherSite, 0, where, {}, {}};
    }
    if (facts.selectorFault) return {Kind::RuleFault, 0, {}, {}, {}};
    if (facts.markerSeen) return {Kind::Listings, 0, {}, {}, {}};
    if (facts.wall) return {Kind::Wall, 0, {}, facts.wall, {}};
    return {Kind::NoListings, 0, {}, {}, {}};
}

QString KindReason(const Observation& observation) {
    switch (observation.kind) {
        case Observation::Kind::Listings:
            return {};
        case Observation::Kind::NoListings:
            return QStringLiteral("la pagina non contiene più gli annunci");
        case Observation::Kind::OtherSite:
            return QStringLiteral("la pagina è su un altro sito (%1)").arg(observation.host);
        case Observation::Kind::HttpError:
            return QStringLiteral("il sito risponde con errore %1").arg(observation.httpStatus);
        case Observation::Kind::EngineError:
            return QStringLiteral("pagina di errore del browser");
        case Observation::Kind::RuleFault:
            return QStringLiteral("il selettore non è valido");
        case Observation::Kind::Wall:
            return observation.wall ? WallReason(*observation.wall) : QString();
    }
    return {};
}

}  // namespace

Observation Observe(const SiteRule& rule, const CaptureFacts& facts) {
    Observation seen = ObserveKind(rule, facts);
    if (seen.kind != Observation::Kind::Listings) seen.closedNote = rule.closedNote;
    return seen;
}

QString BlindReason(const Observation& observation) {
    if (observation.kind != Observation::Kind::Listings && !observation.closedNote.isEmpty())
        return observation.closedNote;
    return KindReason(observation);
}

QString BlindAdviceFor(const Observation& observation) {
    const QString& successor = observation.successor;
    // Whatever a closed site's pages show, only another site helps.
    if (observation.kind != Observation::Kind::Listings && !observation.closedNote.isEmpty())
        return BlindAdvice(std::nullopt, successor);
    switch (observation.kind) {
        case Observation::Kind::Listings:
            return {};
        case Observation::Kind::EngineError:
            return QStringLiteral("controlla la connessione a internet; oppure ") +
                   BlindAdvice(std::nullopt, successor);
        case Observation::Kind::Wall:
            return BlindAdvice(observation.wall, successor);
        case Observation::Kind::RuleFault:
            return QStringLiteral(
                       "correggilo in siti.ini (quintavia --prova-sito lo verifica), "
                       "oppure ") +
                   BlindAdvice(std::nullopt, successor);
        default:
            return BlindAdvice(std::nullopt, successor);
    }
}

bool BlindAtOnce(const Observation& observation) {
    if (observation.kind == Observation::Kind::Listings) return false;
    return !observation.closedNote.isEmpty() || observation.kind == Observation::Kind::Wall;
}

std::optional<WatchChange> SiteWatch::observe(const Observation& observation) {
    if (observation.kind == Observation::Kind::Listings) {
        badInARow_ = 0;
        reason_.clear();
        advice_.clear();
        seenListings_ = true;
        if (!blind_) return std::nullopt;
        blind_ = false;
        return WatchChange{WatchChange::Kind::WatchedAgain, {}, {}};
    }
    if (BlindAtOnce(observation)) badInARow_ = kBadCapturesToTurnBlind;
    if (badInARow_ < kBadCapturesToTurnBlind) ++badInARow_;
    if (badInARow_ < kBadCapturesToTurnBlind) return std::nullopt;
    reason_ = BlindReason(observation);
    advice_ = BlindAdviceFor(observation);
    if (blind_) return std::nullopt;
    blind_ = true;
    return WatchChange{WatchChange::Kind::TurnedBlind, reason_, advice_, seenListings_};
}

}  // namespace quintavia
