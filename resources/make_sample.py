#!/usr/bin/env python3
"""Writes the sample encyclopedia entries, with nothing but the standard library.

Run from anywhere: python3 resources/make_sample.py. It writes sample/<number>.enc: three lines
(picture name, description, name), each ending in CR LF, in Windows-1251.
"""
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

ENTRIES = [
    ('penguin.gif',
     'Пингвин — нелетающая морская птица. Живёт в южном полушарии, '
     'отлично плавает и ныряет, а на суше ходит вперевалку.',
     'Пингвин'),
    ('earth.gif',
     'Земля — третья от Солнца планета и единственная, на которой известна жизнь. '
     'Больше двух третей её поверхности покрыто водой.',
     'Земля'),
    ('sun.gif',
     'Солнце — звезда, вокруг которой обращаются Земля и другие планеты. '
     'Его свет идёт до Земли около восьми минут.',
     'Солнце'),
    ('galaxy.gif',
     'Галактика — огромная система звёзд, газа и пыли, связанная тяготением. '
     'Наше Солнце — одна из сотен миллиардов звёзд Млечного Пути.',
     'Галактика'),
]


def entry_bytes(picture, description, name):
    return b''.join(value.encode('cp1251') + b'\r\n' for value in (picture, description, name))


def main():
    for number, entry in enumerate(ENTRIES):
        with open(os.path.join(ROOT, 'sample', f'{number}.enc'), 'wb') as f:
            f.write(entry_bytes(*entry))


if __name__ == '__main__':
    main()
