"""The pictures that are not pages: the title screen, the about picture, the
launch picture and the two language pictures. Their words are the shell's
own and live here; the product's name, authors and version are the build's."""
from PIL import Image, ImageDraw, ImageFilter

from board import Camera, board_in_depth, man
from typeset import H, W, Style, fit, font, marks, one_line

GOLD = (246, 204, 96)
CREAM = (255, 244, 214)


def gradient(top, bottom, size=(W, H)):
    img = Image.new('RGB', size)
    d = ImageDraw.Draw(img)
    for y in range(size[1]):
        t = y / (size[1] - 1)
        d.line([(0, y), (size[0] - 1, y)],
               fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return img


def banner(img, text, centre_x, top, size):
    """Large lettering: gold from light to deep, a dark rim and a soft shadow."""
    f = font('serif-bold', size)
    mask = Image.new('L', img.size, 0)
    ImageDraw.Draw(mask).text((centre_x, top), text, font=f, fill=255, anchor='mt',
                              stroke_width=3, stroke_fill=255)
    shadow = Image.new('L', img.size, 0)
    shadow.paste(mask, (3, 4))
    img.paste((0, 0, 0), (0, 0), shadow.filter(ImageFilter.GaussianBlur(3)).point(lambda v: v * 2 // 3))
    img.paste((54, 24, 8), (0, 0), mask)
    face = Image.new('L', img.size, 0)
    ImageDraw.Draw(face).text((centre_x, top), text, font=f, fill=255, anchor='mt')
    box = face.getbbox()
    fill = gradient((255, 238, 160), (214, 140, 36), (W, box[3] - box[1] + 1))
    layer = Image.new('RGB', img.size)
    layer.paste(fill, (0, box[1]))
    img.paste(layer, (0, 0), face)


def title(product, version):
    img = gradient((8, 12, 36), (86, 54, 96))
    men = [('K', 6, 1), ('R', 0, 2), ('N', 2, 3), ('P', 5, 2), ('P', 6, 2),
           ('k', 6, 6), ('q', 1, 5), ('p', 5, 5), ('b', 3, 6)]
    board_in_depth(img, Camera(W / 2 - 6, 262), men)
    banner(img, product, W // 2, 12, 40)
    d = ImageDraw.Draw(img)
    d.text((W // 2 + 2, 72), 'задачник', font=font('serif-italic', 24), fill=(0, 0, 0),
           anchor='mt')
    d.text((W // 2, 70), 'задачник', font=font('serif-italic', 24), fill=CREAM, anchor='mt')
    d.text((W // 2, 104), f'версия {version}', font=font('sans', 11), fill=(200, 196, 220),
           anchor='mt')
    return img


# The about, launch and language pictures share one card: an emblem on the
# left, a heading and a few lines on the right, clear of both button corners.
CARD = (24, 28, W - 25, 280)


def card(background, heading, lines, emblem):
    img = gradient(*background)
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = CARD
    d.rounded_rectangle([x0 + 4, y0 + 5, x1 + 4, y1 + 5], 10, fill=(0, 0, 0))
    d.rounded_rectangle(CARD, 10, fill=(252, 248, 238), outline=GOLD, width=2)
    emblem(img, d, (x0 + 18, y0 + 30, x0 + 168, y0 + 180))
    left, right = x0 + 190, x1 - 22
    h = Style(24, (110, 40, 24), body='serif-bold')
    h.draw(d, left, y0 + 54, one_line(marks(heading), right - left, h, 'the heading'))
    d.line([(left, y0 + 68), (right, y0 + 68)], fill=GOLD, width=2)
    body = fit([marks(s) for s in lines], right - left, y1 - 16 - (y0 + 82), sizes=(15, 14, 13))
    body.draw(d, left, y0 + 82)
    return img


def medallion(img, d, box, fill, outline):
    d.ellipse(box, fill=fill, outline=outline, width=4)


def knight_emblem(img, d, box):
    medallion(img, d, box, (46, 58, 96), GOLD)
    size = box[2] - box[0] - 30
    m = man('N', size)
    img.paste(m, (box[0] + 15, box[1] + 12), m)


def window_emblem(img, d, box):
    """A small window with a man inside: the solver opens in its own window."""
    x0, y0, x1, y1 = box
    d.rounded_rectangle([x0 + 4, y0 + 18, x1 - 4, y1 - 18], 6, fill=(255, 255, 255),
                        outline=(46, 58, 96), width=3)
    d.rectangle([x0 + 6, y0 + 20, x1 - 6, y0 + 40], fill=(46, 58, 96))
    for i in range(3):
        d.ellipse([x1 - 22 - i * 14, y0 + 25, x1 - 14 - i * 14, y0 + 33], fill=GOLD)
    m = man('N', 70)
    img.paste(m, ((x0 + x1) // 2 - 35, y0 + 46), m)


def letters_emblem(text):
    def emblem(img, d, box):
        medallion(img, d, box, (46, 58, 96), GOLD)
        d.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), text,
               font=font('serif-bold', 52), fill=CREAM, anchor='mm')
    return emblem


NIGHT = ((20, 26, 60), (70, 44, 84))


def about(product, authors, version):
    return card(NIGHT, product, [
        f'Версия {version}',
        'Задачник по шахматной тактике: учебник для начинающих, курсы '
        'тактики до первого разряда и сборники задач.',
        f'Авторы: {authors}'], knight_emblem)


def launch():
    return card(NIGHT, 'Запуск программы', [
        'Программа-решатель запускается и откроется в своём окне.',
        'Это окно остаётся доступным: можно открыть учебник, справку '
        'или выбрать другой курс.'], window_emblem)


def language_russian():
    return card(NIGHT, 'Язык: русский', [
        'Программы-решатели теперь будут запускаться на русском языке.'],
        letters_emblem('Ру'))


def language_english():
    return card(NIGHT, 'Language: English', [
        'The solver programs will now start in English.'],
        letters_emblem('En'))
