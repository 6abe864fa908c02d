#include "toolpath/NoteReason.h"

#include <array>

namespace torvel {

namespace {

constexpr std::array<std::string_view, kNoteReasonCount> kReasonTexts {
    "parâmetro # não avaliado",
    "expressão [ ] não avaliada",
    "subprograma não seguido",
    "controle de fluxo não avaliado",
    "código G desconhecido",
    "código G não aplicado",
    "ciclo não desenhado",
    "curva desenhada como reta",
    "número inválido",
    "texto não interpretado",
    "comentário sem fechamento",
    "eixo não desenhado",
    "arco sem centro: desenhado como reta",
    "raio R menor que meia corda: desenhado como semicírculo",
    "arco por R sem deslocamento no plano: desenhado como reta",
    "raio no fim do arco difere do início",
    "ciclo sem R: plano R na altura inicial",
    "ciclo sem Z: furo não desenhado",
    "coordenadas sem movimento ativo",
    "G53 só com G0 ou G1: ignorado",
    "compensação de raio não desenhada",
    "origem de peça desconhecida, desenhada sobre a anterior",
    "avanço F ausente ou zero: tempo não contado",
    "avanço por rotação sem rotação conhecida: tempo não contado",
    "linhas após o fim do programa não interpretadas",
};

} // namespace

std::string_view reasonText(NoteReason reason) { return kReasonTexts[static_cast<size_t>(reason)]; }

} // namespace torvel
