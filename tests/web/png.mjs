// Reads 8-bit RGB and RGBA PNG files (non-interlaced) into RGBA pixels, for exact comparisons.
import { readFileSync } from 'node:fs';
import { inflateSync } from 'node:zlib';

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a);
    const pb = Math.abs(p - b);
    const pc = Math.abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

export function readPng(path) {
    const file = readFileSync(path);
    if (file.readUInt32BE(0) !== 0x89504e47) throw new Error(`${path}: not a PNG file`);
    let offset = 8;
    let width = 0;
    let height = 0;
    let colourType = 0;
    const data = [];
    while (offset < file.length) {
        const length = file.readUInt32BE(offset);
        const type = file.toString('latin1', offset + 4, offset + 8);
        const body = file.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const depth = body[8];
            colourType = body[9];
            if (depth !== 8 || (colourType !== 2 && colourType !== 6) || body[12] !== 0) {
                throw new Error(`${path}: only 8-bit RGB or RGBA without interlacing is read`);
            }
        } else if (type === 'IDAT') {
            data.push(body);
        } else if (type === 'IEND') {
            break;
        }
        offset += 12 + length;
    }
    const channels = colourType === 6 ? 4 : 3;
    const stride = width * channels;
    const raw = inflateSync(Buffer.concat(data));
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let x = 0; x < stride; ++x) {
            const left = x >= channels ? rows[y * stride + x - channels] : 0;
            const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
            const upLeft = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
            let value = line[x];
            if (filter === 1) value += left;
            else if (filter === 2) value += up;
            else if (filter === 3) value += (left + up) >> 1;
            else if (filter === 4) value += paeth(left, up, upLeft);
            rows[y * stride + x] = value & 0xff;
        }
    }
    const rgba = Buffer.alloc(width * height * 4);
    for (let i = 0; i < width * height; ++i) {
        rgba[i * 4] = rows[i * channels];
        rgba[i * 4 + 1] = rows[i * channels + 1];
        rgba[i * 4 + 2] = rows[i * channels + 2];
        rgba[i * 4 + 3] = channels === 4 ? rows[i * channels + 3] : 255;
    }
    return { width, height, rgba };
}
