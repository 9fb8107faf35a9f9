// Serves a folder on 127.0.0.1 as a plain web server would, for the web album's audits:
//   node web_album_serve.mjs <folder> [port]
// Prints the address it serves at, then serves until it is stopped. Stops by itself after an hour.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const root = path.resolve(process.argv[2] || '.');
const types = { '.html': 'text/html; charset=utf-8', '.jpg': 'image/jpeg' };

const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname).replace(/\/$/, '/index.html');
    const file = path.join(root, name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        response.writeHead(404);
        response.end();
        return;
    }
    response.writeHead(200, {
        'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'max-age=3600',
    });
    fs.createReadStream(file).pipe(response);
});
server.listen(Number(process.argv[3] || 0), '127.0.0.1', () => {
    console.log(`http://127.0.0.1:${server.address().port}/`);
});
setTimeout(() => server.close(() => process.exit(0)), 3600 * 1000).unref();
